#include "shortcutdisplay.h"

#include <QList>

#include "hotkey/key.h"
#include "hotkey/keycombodto.h"
#include "hotkey/modifierflags.h"

namespace {

bool isPrivateUse(char32_t c) { return (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000; }

bool holdsPrivateUse(const QString &text)
{
    for (const uint c : text.toUcs4()) {
        if (isPrivateUse(char32_t(c)))
            return true;
    }
    return false;
}

} // namespace

namespace ShortcutDisplay {

QString forPress(uint64_t modifierFlags, uint32_t keyCode, const QString &characters)
{
    QString display;
    if (modifierFlags & ModifierFlags::kCommand)
        display += QStringLiteral("⌘");
    if (modifierFlags & ModifierFlags::kShift)
        display += QStringLiteral("⇧");
    if (modifierFlags & ModifierFlags::kOption)
        display += QStringLiteral("⌥");
    if (modifierFlags & ModifierFlags::kControl)
        display += QStringLiteral("⌃");
    if (!characters.isEmpty())
        display += characters.toUpper();
    else if (const std::optional<Key> key = Keys::fromCarbonKeyCode(keyCode))
        display += Keys::description(*key);
    else
        display += QLatin1Char('#') + QString::number(keyCode);
    return display;
}

QString readable(const KeyComboDTO &combo)
{
    const bool numberedKeyWithAName = Keys::fromCarbonKeyCode(combo.keyCode).has_value()
                                      && combo.display.endsWith(QLatin1Char('#') + QString::number(combo.keyCode));
    if (!numberedKeyWithAName && !holdsPrivateUse(combo.display))
        return combo.display;
    return forPress(combo.modifiers, combo.keyCode, QString());
}

} // namespace ShortcutDisplay
