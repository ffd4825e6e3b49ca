#pragma once

#include <cstdint>

#include <QString>

struct KeyComboDTO;

// The text shown for the user's shortcut.
namespace ShortcutDisplay {

// For a recorded key press: "⌘" if command is held, then "⇧" shift, "⌥"
// option, "⌃" control (this order), then the press's characters upper-cased;
// a press without characters (arrows, function keys, Return) shows the key's
// name from the key table, or "#" and the key code for a key outside it.
QString forPress(uint64_t modifierFlags, uint32_t keyCode, const QString &characters);

// The stored display, unless this desktop cannot show it readably: text
// holding private-use characters (another system's key glyphs, which fonts
// here draw as empty boxes) or ending in "#" and a key code that the key
// table names. Those are derived again from the key code and modifiers.
QString readable(const KeyComboDTO &combo);

} // namespace ShortcutDisplay
