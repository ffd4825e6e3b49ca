#pragma once

#include <cstdint>
#include <optional>

#include <QString>

// Shortcuts as the desktop portal writes them (the freedesktop shortcuts
// format): modifiers LOGO, CTRL, ALT and SHIFT, then the xkb keysym name of
// the key at that position on a US layout, joined by '+' ("LOGO+SHIFT+v").
// Pure functions.
namespace PortalTrigger {

// The trigger for a hot-key-layer key code and modifier mask (command 0x100
// is LOGO, shift 0x200, option 0x800 ALT, control 0x1000 CTRL); none for a
// code with no key (or fn, which has no keysym).
std::optional<QString> fromCombo(uint32_t keyCode, uint32_t modifiers);

// The shortcut id we bind a trigger under: letters, digits and '-' only
// ("bramblet-logo-shift-v"), the same trigger giving the same id at every run.
QString shortcutId(const QString &trigger);

} // namespace PortalTrigger
