#include <gtest/gtest.h>

#include <set>

#include <QApplication>
#include <QGlyphRun>
#include <QTextLayout>

#include "hotkey/key.h"
#include "hotkey/keycombo.h"
#include "hotkey/modifierflags.h"

namespace {

// Codes a stored shortcut keeps across versions: a sample of each family.
struct KeyRow {
    Key key;
    uint32_t code;
    const char16_t *display;
};

class KeyTableTest : public ::testing::TestWithParam<KeyRow> {};

TEST_P(KeyTableTest, code_and_display_of_the_key_and_the_code_finds_it_again)
{
    const KeyRow &row = GetParam();
    EXPECT_EQ(Keys::carbonKeyCode(row.key), row.code);
    EXPECT_EQ(Keys::description(row.key), QString::fromUtf16(row.display));
    EXPECT_EQ(Keys::fromCarbonKeyCode(row.code), row.key);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, KeyTableTest,
    ::testing::Values(KeyRow{Key::a, 0, u"A"}, KeyRow{Key::v, 9, u"V"}, KeyRow{Key::k, 40, u"K"},
                      KeyRow{Key::five, 23, u"5"}, KeyRow{Key::section, 10, u"\u00A7"},
                      KeyRow{Key::return_, 36, u"\u21A9\uFE0E"}, KeyRow{Key::rightShift, 60, u"\u21E7"},
                      KeyRow{Key::upArrow, 126, u"\u2191"}, KeyRow{Key::f1, 122, u"F1"}, KeyRow{Key::f20, 90, u"F20"},
                      KeyRow{Key::keypadEnter, 76, u"\u21A9\uFE0E"}, KeyRow{Key::keypadMultiply, 67, u"\U0001D5D1"},
                      KeyRow{Key::help, 114, u"Inser"}, KeyRow{Key::mute, 74, u"\U0001F507"}),
    [](const auto &info) { return std::string(Keys::name(info.param.key)); });

// Every key has its own code and finds itself back; the codes no key owns
// (and those beyond the table) find nothing.
TEST(KeyTable, codes_are_distinct_and_only_the_gaps_have_no_key)
{
    ASSERT_EQ(Keys::all().size(), size_t(114));
    std::set<uint32_t> codes;
    for (const Key key : Keys::all()) {
        codes.insert(Keys::carbonKeyCode(key));
        EXPECT_EQ(Keys::fromCarbonKeyCode(Keys::carbonKeyCode(key)), key) << Keys::name(key);
    }
    EXPECT_EQ(codes.size(), size_t(114));
    const std::set<uint32_t> gaps = {52, 66, 68, 70, 77, 93, 94, 95, 102, 104, 108, 110, 112};
    for (uint32_t code = 0; code <= 128; ++code)
        EXPECT_EQ(Keys::fromCarbonKeyCode(code).has_value(), code <= 126 && !gaps.count(code)) << code;
    EXPECT_FALSE(Keys::fromCarbonKeyCode(0xFFFFFFFFu).has_value());
}

// Fonts without a glyph for a character (private-use key symbols, say) draw
// an empty box: every name must be drawn by the fonts the packages install.
TEST(KeyTable, every_key_name_has_glyphs_in_the_installed_fonts)
{
    for (const Key key : Keys::all()) {
        QTextLayout layout(Keys::description(key), QApplication::font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun &run : layout.glyphRuns()) {
            for (const quint32 glyph : run.glyphIndexes())
                EXPECT_NE(glyph, 0u) << Keys::name(key) << " in " << run.rawFont().familyName().toStdString();
        }
    }
}

// Flags and service mask: each modifier maps to its own bit both ways;
// every other bit is dropped.
struct MaskRow {
    const char *name;
    uint64_t flags;
    uint32_t carbon;
    uint64_t flagsBack;
};

class MaskTest : public ::testing::TestWithParam<MaskRow> {};

TEST_P(MaskTest, converts_both_ways)
{
    EXPECT_EQ(ModifierFlags::carbonFlags(GetParam().flags), GetParam().carbon);
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(GetParam().carbon), GetParam().flagsBack);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, MaskTest,
    ::testing::Values(MaskRow{"none", 0, 0, 0}, MaskRow{"command", 0x100000, 0x100, 0x100000},
                      MaskRow{"shift", 0x20000, 0x200, 0x20000}, MaskRow{"option", 0x80000, 0x800, 0x80000},
                      MaskRow{"control", 0x40000, 0x1000, 0x40000}, MaskRow{"all_four", 0x1E0000, 0x1B00, 0x1E0000},
                      MaskRow{"caps_lock_and_function_flags_dropped", 0x10000 | 0x800000 | 0x100000, 0x100, 0x100000},
                      MaskRow{"numeric_pad_and_low_bits_dropped", 0x200000 | 0xFFFF, 0, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ModifierMask, unknown_service_bits_are_dropped)
{
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(0x400 | 0x100 | 0x1), ModifierFlags::kCommand);
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(0xFFFFE0FF), 0u);
}

TEST(KeyComboTest, describes_control_option_shift_command_then_the_key)
{
    EXPECT_EQ(KeyCombo(Key::f1, ModifierFlags::kDeviceIndependentMask).description(),
              QStringLiteral("⌃⌥⇧⌘F1"));
    const KeyCombo v(Key::v, ModifierFlags::kCommand | ModifierFlags::kShift);
    EXPECT_EQ(v, KeyCombo(9, 768));
    EXPECT_EQ(v.description(), QStringLiteral("⇧⌘V"));
    EXPECT_NE(v, KeyCombo(9, 256));
    EXPECT_NE(v, KeyCombo(11, 768));
    // A code of no key describes only its modifiers.
    EXPECT_EQ(KeyCombo(52, 768).description(), QStringLiteral("⇧⌘"));
}

} // namespace
