// The keys our virtual keyboard sends: each chord presses and releases
// exactly its keys (that the keymap gives them their meaning shows when the
// Wayland tier pastes into a native client and a terminal).
#include <gtest/gtest.h>

#include "platform/wayland/pastekeysequence.h"

namespace {

using Step = PasteKeySequence::Step;
using Kind = Step::Kind;

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
