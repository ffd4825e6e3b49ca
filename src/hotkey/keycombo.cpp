#include "keycombo.h"

#include "hotkey/modifierflags.h"

KeyCombo::KeyCombo(Key key, uint64_t modifierFlags)
    : carbonKeyCode(Keys::carbonKeyCode(key)), carbonModifiers(ModifierFlags::carbonFlags(modifierFlags))
{
}

std::optional<Key> KeyCombo::key() const { return Keys::fromCarbonKeyCode(carbonKeyCode); }

void KeyCombo::setKey(std::optional<Key> key) { carbonKeyCode = key ? Keys::carbonKeyCode(*key) : 0; }

uint64_t KeyCombo::modifiers() const { return ModifierFlags::fromCarbonFlags(carbonModifiers); }

void KeyCombo::setModifiers(uint64_t modifierFlags) { carbonModifiers = ModifierFlags::carbonFlags(modifierFlags); }

QString KeyCombo::description() const
{
    QString text;
    const uint64_t flags = modifiers();
    if (flags & ModifierFlags::kControl)
        text += QChar(0x2303);
    if (flags & ModifierFlags::kOption)
        text += QChar(0x2325);
    if (flags & ModifierFlags::kShift)
        text += QChar(0x21E7);
    if (flags & ModifierFlags::kCommand)
        text += QChar(0x2318);
    if (const auto k = key())
        text += Keys::description(*k);
    return text;
}
