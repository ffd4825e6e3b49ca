#pragma once

#include <cstdint>
#include <optional>

#include "hotkey/key.h"

// A key code plus the service's modifier mask. Plain value; equal when both
// fields are equal.
struct KeyCombo {
    uint32_t carbonKeyCode = 0;
    uint32_t carbonModifiers = 0;

    KeyCombo() = default;
    KeyCombo(uint32_t keyCode, uint32_t modifiers) : carbonKeyCode(keyCode), carbonModifiers(modifiers) {}
    // From a key and modifier flags (converted to the service mask).
    KeyCombo(Key key, uint64_t modifierFlags);

    // The key whose code is carbonKeyCode, or none.
    std::optional<Key> key() const;
    // carbonModifiers as modifier flags.
    uint64_t modifiers() const;

    friend bool operator==(const KeyCombo &, const KeyCombo &) = default;
};
