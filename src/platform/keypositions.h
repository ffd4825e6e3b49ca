#pragma once

#include <cstdint>
#include <optional>

#include <QString>

// Where the hot-key layer's positional virtual key codes sit on a PC
// keyboard: code -> Linux evdev code -> xkb keycode (evdev + 8), the keycode
// X servers, xkb keymaps on Wayland and Qt's native scan codes all use. Pure
// data, no display connection: the shortcut layer and the backends share it.
namespace KeyPositions {

inline constexpr uint32_t kXkbKeycodeOffset = 8;

// The keycode for a virtual key code; none for codes with no position here
// (codes of no key, and fn, which has no X keycode).
std::optional<uint8_t> keycodeFor(uint32_t virtualKeyCode);
// The virtual key code at that keycode; none when no virtual key code sits there.
std::optional<uint32_t> virtualKeyCodeFor(uint32_t keycode);
// The key's US-layout label for diagnostics ("V", "F1", "Keypad Enter"), or
// "#<code>" for codes with no position.
QString labelFor(uint32_t virtualKeyCode);

} // namespace KeyPositions
