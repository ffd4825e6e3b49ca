#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QString>

// The 114 keys the hot-key layer knows, in declaration order. `return_` and
// `delete_` carry an underscore because their names are C++ keywords.
enum class Key {
    a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p, q, r, s, t, u, v, w, x, y, z,
    zero, one, two, three, four, five, six, seven, eight, nine,
    period, quote, rightBracket, semicolon, slash, backslash, comma, equal, grave,
    leftBracket, minus, section, space, tab, return_,
    command, rightCommand, option, rightOption, control, rightControl,
    shift, rightShift, function, capsLock, pageUp, pageDown, home, end,
    upArrow, rightArrow, downArrow, leftArrow,
    f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16, f17, f18, f19, f20,
    keypad0, keypad1, keypad2, keypad3, keypad4, keypad5, keypad6, keypad7, keypad8, keypad9,
    keypadClear, keypadDecimal, keypadDivide, keypadEnter, keypadEquals, keypadMinus,
    keypadMultiply, keypadPlus,
    escape, delete_, forwardDelete, help, volumeUp, volumeDown, mute,
};

namespace Keys {

inline constexpr int kCount = 114;

// Every key, in declaration order.
const std::array<Key, kCount> &all();
// The key's positional virtual key code (US layout positions).
uint32_t carbonKeyCode(Key key);
// The key's display string, e.g. "V", "⇧", "F1".
QString description(Key key);
// The key whose code is `code`; none for codes that belong to no key.
std::optional<Key> fromCarbonKeyCode(uint32_t code);
// The enumerator's name ("v", "return_"), for test names and diagnostics.
const char *name(Key key);

} // namespace Keys
