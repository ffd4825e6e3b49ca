#pragma once

#include <cstdint>
#include <optional>

#include <QString>

class QKeyEvent;

// What the shortcut recorder hands to HotKeyManager: one key press with its
// positional key code, its modifier flags and its characters ignoring
// modifiers (empty when the key produces none).
struct KeyDownEvent {
    uint32_t keyCode = 0;
    uint64_t modifierFlags = 0;
    QString charactersIgnoringModifiers;

    // Key codes for keys at no known position: this offset plus the native
    // scan code, which belongs to no Key.
    static constexpr uint32_t kUnpositionedKeyBase = 0x10000;

    // Reads a Qt key press. The key code comes from the native scan code
    // (xkb keycode = evdev code + 8); Super gives command, Ctrl control, Alt
    // option, Shift shift; Caps Lock, Num Lock and the keypad bit never reach
    // the flags. None for presses of a modifier or lock key on its own.
    static std::optional<KeyDownEvent> fromQKeyEvent(const QKeyEvent &event);

    // True when at least one of shift, control, option and command is held.
    bool hasRecordingModifier() const;
};
