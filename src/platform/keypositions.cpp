#include "keypositions.h"

namespace {

struct Position {
    uint32_t virtualKeyCode;
    uint16_t evdev;
    const char *label;
};

// The ISO key beside left Shift (evdev 102ND) carries the section code and
// the key left of 1 the grave code, as on ISO keyboards of the platform the
// codes come from. Keypad Clear sits on Num Lock, Help on Insert. fn has no
// evdev code below 248 and so no X keycode.
constexpr Position kPositions[] = {
    {0, 30, "A"}, {1, 31, "S"}, {2, 32, "D"}, {3, 33, "F"}, {4, 35, "H"}, {5, 34, "G"},
    {6, 44, "Z"}, {7, 45, "X"}, {8, 46, "C"}, {9, 47, "V"}, {10, 86, "§"}, {11, 48, "B"},
    {12, 16, "Q"}, {13, 17, "W"}, {14, 18, "E"}, {15, 19, "R"}, {16, 21, "Y"}, {17, 20, "T"},
    {18, 2, "1"}, {19, 3, "2"}, {20, 4, "3"}, {21, 5, "4"}, {22, 7, "6"}, {23, 6, "5"},
    {24, 13, "="}, {25, 10, "9"}, {26, 8, "7"}, {27, 12, "-"}, {28, 9, "8"}, {29, 11, "0"},
    {30, 27, "]"}, {31, 24, "O"}, {32, 22, "U"}, {33, 26, "["}, {34, 23, "I"}, {35, 25, "P"},
    {36, 28, "Return"}, {37, 38, "L"}, {38, 36, "J"}, {39, 40, "'"}, {40, 37, "K"}, {41, 39, ";"},
    {42, 43, "\\"}, {43, 51, ","}, {44, 53, "/"}, {45, 49, "N"}, {46, 50, "M"}, {47, 52, "."},
    {48, 15, "Tab"}, {49, 57, "Space"}, {50, 41, "`"}, {51, 14, "BackSpace"}, {53, 1, "Escape"},
    {54, 126, "Super_R"}, {55, 125, "Super_L"}, {56, 42, "Shift_L"}, {57, 58, "Caps_Lock"},
    {58, 56, "Alt_L"}, {59, 29, "Control_L"}, {60, 54, "Shift_R"}, {61, 100, "Alt_R"},
    {62, 97, "Control_R"}, {64, 187, "F17"}, {65, 83, "KP_Decimal"}, {67, 55, "KP_Multiply"},
    {69, 78, "KP_Add"}, {71, 69, "Num_Lock"}, {72, 115, "XF86AudioRaiseVolume"},
    {73, 114, "XF86AudioLowerVolume"}, {74, 113, "XF86AudioMute"}, {75, 98, "KP_Divide"},
    {76, 96, "KP_Enter"}, {78, 74, "KP_Subtract"}, {79, 188, "F18"}, {80, 189, "F19"},
    {81, 117, "KP_Equal"}, {82, 82, "KP_0"}, {83, 79, "KP_1"}, {84, 80, "KP_2"}, {85, 81, "KP_3"},
    {86, 75, "KP_4"}, {87, 76, "KP_5"}, {88, 77, "KP_6"}, {89, 71, "KP_7"}, {90, 190, "F20"},
    {91, 72, "KP_8"}, {92, 73, "KP_9"}, {96, 63, "F5"}, {97, 64, "F6"}, {98, 65, "F7"},
    {99, 61, "F3"}, {100, 66, "F8"}, {101, 67, "F9"}, {103, 87, "F11"}, {105, 183, "F13"},
    {106, 186, "F16"}, {107, 184, "F14"}, {109, 68, "F10"}, {111, 88, "F12"}, {113, 185, "F15"},
    {114, 110, "Insert"}, {115, 102, "Home"}, {116, 104, "Prior"}, {117, 111, "Delete"},
    {118, 62, "F4"}, {119, 107, "End"}, {120, 60, "F2"}, {121, 109, "Next"}, {122, 59, "F1"},
    {123, 105, "Left"}, {124, 106, "Right"}, {125, 108, "Down"}, {126, 103, "Up"},
};

const Position *byVirtualKeyCode(uint32_t code)
{
    for (const Position &p : kPositions) {
        if (p.virtualKeyCode == code)
            return &p;
    }
    return nullptr;
}

} // namespace

namespace KeyPositions {

std::optional<uint8_t> keycodeFor(uint32_t virtualKeyCode)
{
    const Position *p = byVirtualKeyCode(virtualKeyCode);
    if (!p || p->evdev + kXkbKeycodeOffset > 255)
        return std::nullopt;
    return static_cast<uint8_t>(p->evdev + kXkbKeycodeOffset);
}

std::optional<uint32_t> virtualKeyCodeFor(uint32_t keycode)
{
    if (keycode < kXkbKeycodeOffset)
        return std::nullopt;
    for (const Position &p : kPositions) {
        if (p.evdev + kXkbKeycodeOffset == keycode)
            return p.virtualKeyCode;
    }
    return std::nullopt;
}

QString labelFor(uint32_t virtualKeyCode)
{
    if (const Position *p = byVirtualKeyCode(virtualKeyCode))
        return QString::fromUtf8(p->label);
    return QStringLiteral("#%1").arg(virtualKeyCode);
}

} // namespace KeyPositions
