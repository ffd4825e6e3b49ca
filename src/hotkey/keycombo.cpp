#include "keycombo.h"

#include "hotkey/modifierflags.h"

KeyCombo::KeyCombo(Key key, uint64_t modifierFlags)
    : carbonKeyCode(Keys::carbonKeyCode(key)), carbonModifiers(ModifierFlags::carbonFlags(modifierFlags))
{
}

std::optional<Key> KeyCombo::key() const { return Keys::fromCarbonKeyCode(carbonKeyCode); }

uint64_t KeyCombo::modifiers() const { return ModifierFlags::fromCarbonFlags(carbonModifiers); }
