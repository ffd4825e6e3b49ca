#include "key.h"

namespace {

struct Entry {
    Key key;
    const char *name;
    uint32_t code;
    const char16_t *display;
};

// Declaration order. Every display string is drawn by the usual Linux fonts
// (DejaVu, Noto Color Emoji for the volume keys): the function keys show
// their label, and Help, which sits on Insert here, shows "Inser".
constexpr Entry kTable[Keys::kCount] = {
    {Key::a, "a", 0, u"A"},
    {Key::b, "b", 11, u"B"},
    {Key::c, "c", 8, u"C"},
    {Key::d, "d", 2, u"D"},
    {Key::e, "e", 14, u"E"},
    {Key::f, "f", 3, u"F"},
    {Key::g, "g", 5, u"G"},
    {Key::h, "h", 4, u"H"},
    {Key::i, "i", 34, u"I"},
    {Key::j, "j", 38, u"J"},
    {Key::k, "k", 40, u"K"},
    {Key::l, "l", 37, u"L"},
    {Key::m, "m", 46, u"M"},
    {Key::n, "n", 45, u"N"},
    {Key::o, "o", 31, u"O"},
    {Key::p, "p", 35, u"P"},
    {Key::q, "q", 12, u"Q"},
    {Key::r, "r", 15, u"R"},
    {Key::s, "s", 1, u"S"},
    {Key::t, "t", 17, u"T"},
    {Key::u, "u", 32, u"U"},
    {Key::v, "v", 9, u"V"},
    {Key::w, "w", 13, u"W"},
    {Key::x, "x", 7, u"X"},
    {Key::y, "y", 16, u"Y"},
    {Key::z, "z", 6, u"Z"},
    {Key::zero, "zero", 29, u"0"},
    {Key::one, "one", 18, u"1"},
    {Key::two, "two", 19, u"2"},
    {Key::three, "three", 20, u"3"},
    {Key::four, "four", 21, u"4"},
    {Key::five, "five", 23, u"5"},
    {Key::six, "six", 22, u"6"},
    {Key::seven, "seven", 26, u"7"},
    {Key::eight, "eight", 28, u"8"},
    {Key::nine, "nine", 25, u"9"},
    {Key::period, "period", 47, u"."},
    {Key::quote, "quote", 39, u"\""},
    {Key::rightBracket, "rightBracket", 30, u"]"},
    {Key::semicolon, "semicolon", 41, u";"},
    {Key::slash, "slash", 44, u"/"},
    {Key::backslash, "backslash", 42, u"\\"},
    {Key::comma, "comma", 43, u","},
    {Key::equal, "equal", 24, u"="},
    {Key::grave, "grave", 50, u"`"},
    {Key::leftBracket, "leftBracket", 33, u"["},
    {Key::minus, "minus", 27, u"-"},
    {Key::section, "section", 10, u"\u00A7"},
    {Key::space, "space", 49, u"\u2423"},
    {Key::tab, "tab", 48, u"\u21E5"},
    {Key::return_, "return_", 36, u"\u21A9\uFE0E"},
    {Key::command, "command", 55, u"\u2318"},
    {Key::rightCommand, "rightCommand", 54, u"\u2318"},
    {Key::option, "option", 58, u"\u2325"},
    {Key::rightOption, "rightOption", 61, u"\u2325"},
    {Key::control, "control", 59, u"\u2303"},
    {Key::rightControl, "rightControl", 62, u"\u2303"},
    {Key::shift, "shift", 56, u"\u21E7"},
    {Key::rightShift, "rightShift", 60, u"\u21E7"},
    {Key::function, "function", 63, u"fn"},
    {Key::capsLock, "capsLock", 57, u"\u21EA"},
    {Key::pageUp, "pageUp", 116, u"\u21DE"},
    {Key::pageDown, "pageDown", 121, u"\u21DF"},
    {Key::home, "home", 115, u"\u2196"},
    {Key::end, "end", 119, u"\u2198"},
    {Key::upArrow, "upArrow", 126, u"\u2191"},
    {Key::rightArrow, "rightArrow", 124, u"\u2192"},
    {Key::downArrow, "downArrow", 125, u"\u2193"},
    {Key::leftArrow, "leftArrow", 123, u"\u2190"},
    {Key::f1, "f1", 122, u"F1"},
    {Key::f2, "f2", 120, u"F2"},
    {Key::f3, "f3", 99, u"F3"},
    {Key::f4, "f4", 118, u"F4"},
    {Key::f5, "f5", 96, u"F5"},
    {Key::f6, "f6", 97, u"F6"},
    {Key::f7, "f7", 98, u"F7"},
    {Key::f8, "f8", 100, u"F8"},
    {Key::f9, "f9", 101, u"F9"},
    {Key::f10, "f10", 109, u"F10"},
    {Key::f11, "f11", 103, u"F11"},
    {Key::f12, "f12", 111, u"F12"},
    {Key::f13, "f13", 105, u"F13"},
    {Key::f14, "f14", 107, u"F14"},
    {Key::f15, "f15", 113, u"F15"},
    {Key::f16, "f16", 106, u"F16"},
    {Key::f17, "f17", 64, u"F17"},
    {Key::f18, "f18", 79, u"F18"},
    {Key::f19, "f19", 80, u"F19"},
    {Key::f20, "f20", 90, u"F20"},
    {Key::keypad0, "keypad0", 82, u"0"},
    {Key::keypad1, "keypad1", 83, u"1"},
    {Key::keypad2, "keypad2", 84, u"2"},
    {Key::keypad3, "keypad3", 85, u"3"},
    {Key::keypad4, "keypad4", 86, u"4"},
    {Key::keypad5, "keypad5", 87, u"5"},
    {Key::keypad6, "keypad6", 88, u"6"},
    {Key::keypad7, "keypad7", 89, u"7"},
    {Key::keypad8, "keypad8", 91, u"8"},
    {Key::keypad9, "keypad9", 92, u"9"},
    {Key::keypadClear, "keypadClear", 71, u"\u2327"},
    {Key::keypadDecimal, "keypadDecimal", 65, u"."},
    {Key::keypadDivide, "keypadDivide", 75, u"/"},
    {Key::keypadEnter, "keypadEnter", 76, u"\u21A9\uFE0E"},
    {Key::keypadEquals, "keypadEquals", 81, u"="},
    {Key::keypadMinus, "keypadMinus", 78, u"-"},
    {Key::keypadMultiply, "keypadMultiply", 67, u"\U0001D5D1"},
    {Key::keypadPlus, "keypadPlus", 69, u"+"},
    {Key::escape, "escape", 53, u"\u238B"},
    {Key::delete_, "delete_", 51, u"\u232B"},
    {Key::forwardDelete, "forwardDelete", 117, u"\u2326"},
    {Key::help, "help", 114, u"Inser"},
    {Key::volumeUp, "volumeUp", 72, u"\U0001F50A"},
    {Key::volumeDown, "volumeDown", 73, u"\U0001F509"},
    {Key::mute, "mute", 74, u"\U0001F507"},
};

constexpr bool tableFollowsDeclarationOrder()
{
    for (int i = 0; i < Keys::kCount; ++i) {
        if (static_cast<int>(kTable[i].key) != i)
            return false;
    }
    return static_cast<int>(Key::mute) == Keys::kCount - 1;
}
static_assert(tableFollowsDeclarationOrder(), "the key table must list every Key once, in declaration order");

const Entry &entry(Key key) { return kTable[static_cast<int>(key)]; }

} // namespace

namespace Keys {

const std::array<Key, kCount> &all()
{
    static const std::array<Key, kCount> keys = [] {
        std::array<Key, kCount> out{};
        for (int i = 0; i < kCount; ++i)
            out[i] = kTable[i].key;
        return out;
    }();
    return keys;
}

uint32_t carbonKeyCode(Key key) { return entry(key).code; }

QString description(Key key) { return QString::fromUtf16(entry(key).display); }

std::optional<Key> fromCarbonKeyCode(uint32_t code)
{
    for (const Entry &e : kTable) {
        if (e.code == code)
            return e.key;
    }
    return std::nullopt;
}

const char *name(Key key) { return entry(key).name; }

} // namespace Keys
