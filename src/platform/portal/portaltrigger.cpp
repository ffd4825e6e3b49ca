#include "portaltrigger.h"

#include <QStringList>

namespace {

struct Keysym {
    uint32_t keyCode;
    const char *name;
};

// Key positions of the hot-key layer and the keysym a US layout gives there
// without modifiers. Keypad Clear sits on Num Lock and Help on Insert, as in
// the X11 position table; fn has no keysym.
constexpr Keysym kKeysyms[] = {
    {0, "a"}, {1, "s"}, {2, "d"}, {3, "f"}, {4, "h"}, {5, "g"}, {6, "z"}, {7, "x"}, {8, "c"}, {9, "v"},
    {10, "section"}, {11, "b"}, {12, "q"}, {13, "w"}, {14, "e"}, {15, "r"}, {16, "y"}, {17, "t"}, {18, "1"},
    {19, "2"}, {20, "3"}, {21, "4"}, {22, "6"}, {23, "5"}, {24, "equal"}, {25, "9"}, {26, "7"}, {27, "minus"},
    {28, "8"}, {29, "0"}, {30, "bracketright"}, {31, "o"}, {32, "u"}, {33, "bracketleft"}, {34, "i"}, {35, "p"},
    {36, "Return"}, {37, "l"}, {38, "j"}, {39, "apostrophe"}, {40, "k"}, {41, "semicolon"}, {42, "backslash"},
    {43, "comma"}, {44, "slash"}, {45, "n"}, {46, "m"}, {47, "period"}, {48, "Tab"}, {49, "space"},
    {50, "grave"}, {51, "BackSpace"}, {53, "Escape"}, {54, "Super_R"}, {55, "Super_L"}, {56, "Shift_L"},
    {57, "Caps_Lock"}, {58, "Alt_L"}, {59, "Control_L"}, {60, "Shift_R"}, {61, "Alt_R"}, {62, "Control_R"},
    {64, "F17"}, {65, "KP_Decimal"}, {67, "KP_Multiply"}, {69, "KP_Add"}, {71, "Num_Lock"},
    {72, "XF86AudioRaiseVolume"}, {73, "XF86AudioLowerVolume"}, {74, "XF86AudioMute"}, {75, "KP_Divide"},
    {76, "KP_Enter"}, {78, "KP_Subtract"}, {79, "F18"}, {80, "F19"}, {81, "KP_Equal"}, {82, "KP_0"},
    {83, "KP_1"}, {84, "KP_2"}, {85, "KP_3"}, {86, "KP_4"}, {87, "KP_5"}, {88, "KP_6"}, {89, "KP_7"},
    {90, "F20"}, {91, "KP_8"}, {92, "KP_9"}, {96, "F5"}, {97, "F6"}, {98, "F7"}, {99, "F3"}, {100, "F8"},
    {101, "F9"}, {103, "F11"}, {105, "F13"}, {106, "F16"}, {107, "F14"}, {109, "F10"}, {111, "F12"},
    {113, "F15"}, {114, "Insert"}, {115, "Home"}, {116, "Prior"}, {117, "Delete"}, {118, "F4"}, {119, "End"},
    {120, "F2"}, {121, "Next"}, {122, "F1"}, {123, "Left"}, {124, "Right"}, {125, "Down"}, {126, "Up"},
};

constexpr uint32_t kCommand = 0x100;
constexpr uint32_t kShift = 0x200;
constexpr uint32_t kOption = 0x800;
constexpr uint32_t kControl = 0x1000;

} // namespace

namespace PortalTrigger {

std::optional<QString> fromCombo(uint32_t keyCode, uint32_t modifiers)
{
    const char *name = nullptr;
    for (const Keysym &k : kKeysyms) {
        if (k.keyCode == keyCode)
            name = k.name;
    }
    if (!name)
        return std::nullopt;
    QStringList parts;
    if (modifiers & kCommand)
        parts << QStringLiteral("LOGO");
    if (modifiers & kControl)
        parts << QStringLiteral("CTRL");
    if (modifiers & kOption)
        parts << QStringLiteral("ALT");
    if (modifiers & kShift)
        parts << QStringLiteral("SHIFT");
    parts << QString::fromLatin1(name);
    return parts.join(QLatin1Char('+'));
}

QString shortcutId(const QString &trigger)
{
    QString id = QStringLiteral("bramblet");
    for (const QString &part : trigger.split(QLatin1Char('+'))) {
        QString clean;
        for (const QChar c : part.toLower()) {
            if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
                clean += c;
        }
        id += QLatin1Char('-') + clean;
    }
    return id;
}

} // namespace PortalTrigger
