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

struct ChordRow
{
    const char *name;
    PasteChord chord;
    QList<Step> steps;
};

constexpr quint32 kCtrl = 4;
constexpr quint32 kShift = 1;

class PasteKeySequenceTest : public ::testing::TestWithParam<ChordRow>
{
};

TEST_P(PasteKeySequenceTest, SendsTheChordAndLeavesNothingHeld)
{
    const ChordRow &row = GetParam();
    const QList<Step> steps = PasteKeySequence::forChord(row.chord, kCtrl, kShift);
    EXPECT_EQ(steps, row.steps);
}

INSTANTIATE_TEST_SUITE_P(
    PasteKeySequence, PasteKeySequenceTest,
    ::testing::Values(
        ChordRow{"ctrl_v_for_ordinary_programs", PasteChord::CtrlV,
                 {{Kind::Key, 29, true, 0}, {Kind::Modifiers, 0, false, kCtrl},
                  {Kind::Key, 47, true, 0}, {Kind::Key, 47, false, 0},
                  {Kind::Key, 29, false, 0}, {Kind::Modifiers, 0, false, 0}}},
        ChordRow{"ctrl_shift_v_for_terminals", PasteChord::CtrlShiftV,
                 {{Kind::Key, 29, true, 0}, {Kind::Modifiers, 0, false, kCtrl},
                  {Kind::Key, 42, true, 0}, {Kind::Modifiers, 0, false, kCtrl | kShift},
                  {Kind::Key, 47, true, 0}, {Kind::Key, 47, false, 0},
                  {Kind::Key, 42, false, 0}, {Kind::Modifiers, 0, false, kCtrl},
                  {Kind::Key, 29, false, 0}, {Kind::Modifiers, 0, false, 0}}}),
    [](const ::testing::TestParamInfo<ChordRow> &info) { return std::string(info.param.name); });

} // namespace
