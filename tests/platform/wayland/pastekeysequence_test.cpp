// The keys our virtual keyboard sends: its keymap gives them the meaning we
// expect, and each chord presses and releases exactly its keys.
#include <gtest/gtest.h>

#include "platform/wayland/pastekeysequence.h"
#include "platform/wayland/waylandkeymap.h"

namespace {

using Step = PasteKeySequence::Step;
using Kind = Step::Kind;

TEST(WaylandKeymap, TheUsKeymapGivesControlShiftAndVAtTheCodesWeSend)
{
    const std::optional<WaylandKeymap> keymap = WaylandKeymap::compileUs();
    ASSERT_TRUE(keymap) << "xkbcommon could not compile the US layout (xkb-data missing?)";
    EXPECT_EQ(keymap->keysymName(WaylandKeymap::kLeftCtrl), QStringLiteral("Control_L"));
    EXPECT_EQ(keymap->keysymName(WaylandKeymap::kLeftShift), QStringLiteral("Shift_L"));
    EXPECT_EQ(keymap->keysymName(WaylandKeymap::kV), QStringLiteral("v"));
    EXPECT_TRUE(keymap->text().endsWith('\0')) << "the protocol reads a NUL-terminated keymap";
    EXPECT_NE(keymap->ctrlMask(), 0u);
    EXPECT_NE(keymap->shiftMask(), 0u);
    EXPECT_NE(keymap->ctrlMask(), keymap->shiftMask());
}

// Terminals get Ctrl+Shift+V, pressed in order and released in reverse with
// the modifier state following each key (Ctrl+V is pasted end to end).
TEST(PasteKeySequence, CtrlShiftVPressesAndReleasesEachKeyWithItsModifiers)
{
    constexpr quint32 kCtrl = 4;
    constexpr quint32 kShift = 1;
    const QList<Step> expected{{Kind::Key, 29, true, 0},  {Kind::Modifiers, 0, false, kCtrl},
                               {Kind::Key, 42, true, 0},  {Kind::Modifiers, 0, false, kCtrl | kShift},
                               {Kind::Key, 47, true, 0},  {Kind::Key, 47, false, 0},
                               {Kind::Key, 42, false, 0}, {Kind::Modifiers, 0, false, kCtrl},
                               {Kind::Key, 29, false, 0}, {Kind::Modifiers, 0, false, 0}};
    EXPECT_EQ(PasteKeySequence::forChord(PasteChord::CtrlShiftV, kCtrl, kShift), expected);
}

} // namespace
