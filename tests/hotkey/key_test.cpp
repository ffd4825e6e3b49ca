#include <gtest/gtest.h>

#include <set>

#include <QApplication>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include "hotkey/key.h"
#include "hotkey/keycombo.h"
#include "hotkey/modifierflags.h"

namespace {

struct KeyRow {
    Key key;
    uint32_t code;
    const char16_t *display;
};

// The full table, written out independently of the implementation's.
const KeyRow kRows[] = {
    {Key::a, 0, u"A"}, {Key::b, 11, u"B"}, {Key::c, 8, u"C"}, {Key::d, 2, u"D"}, {Key::e, 14, u"E"},
    {Key::f, 3, u"F"}, {Key::g, 5, u"G"}, {Key::h, 4, u"H"}, {Key::i, 34, u"I"}, {Key::j, 38, u"J"},
    {Key::k, 40, u"K"}, {Key::l, 37, u"L"}, {Key::m, 46, u"M"}, {Key::n, 45, u"N"}, {Key::o, 31, u"O"},
    {Key::p, 35, u"P"}, {Key::q, 12, u"Q"}, {Key::r, 15, u"R"}, {Key::s, 1, u"S"}, {Key::t, 17, u"T"},
    {Key::u, 32, u"U"}, {Key::v, 9, u"V"}, {Key::w, 13, u"W"}, {Key::x, 7, u"X"}, {Key::y, 16, u"Y"},
    {Key::z, 6, u"Z"}, {Key::zero, 29, u"0"}, {Key::one, 18, u"1"}, {Key::two, 19, u"2"},
    {Key::three, 20, u"3"}, {Key::four, 21, u"4"}, {Key::five, 23, u"5"}, {Key::six, 22, u"6"},
    {Key::seven, 26, u"7"}, {Key::eight, 28, u"8"}, {Key::nine, 25, u"9"}, {Key::period, 47, u"."},
    {Key::quote, 39, u"\u0022"}, {Key::rightBracket, 30, u"]"}, {Key::semicolon, 41, u";"},
    {Key::slash, 44, u"/"}, {Key::backslash, 42, u"\u005C"}, {Key::comma, 43, u","}, {Key::equal, 24, u"="},
    {Key::grave, 50, u"\u0060"}, {Key::leftBracket, 33, u"["}, {Key::minus, 27, u"-"},
    {Key::section, 10, u"\u00A7"}, {Key::space, 49, u"\u2423"}, {Key::tab, 48, u"\u21E5"},
    {Key::return_, 36, u"\u21A9\uFE0E"}, {Key::command, 55, u"\u2318"}, {Key::rightCommand, 54, u"\u2318"},
    {Key::option, 58, u"\u2325"}, {Key::rightOption, 61, u"\u2325"}, {Key::control, 59, u"\u2303"},
    {Key::rightControl, 62, u"\u2303"}, {Key::shift, 56, u"\u21E7"}, {Key::rightShift, 60, u"\u21E7"},
    {Key::function, 63, u"fn"}, {Key::capsLock, 57, u"\u21EA"}, {Key::pageUp, 116, u"\u21DE"},
    {Key::pageDown, 121, u"\u21DF"}, {Key::home, 115, u"\u2196"}, {Key::end, 119, u"\u2198"},
    {Key::upArrow, 126, u"\u2191"}, {Key::rightArrow, 124, u"\u2192"}, {Key::downArrow, 125, u"\u2193"},
    {Key::leftArrow, 123, u"\u2190"}, {Key::f1, 122, u"F1"}, {Key::f2, 120, u"F2"},
    {Key::f3, 99, u"F3"}, {Key::f4, 118, u"F4"}, {Key::f5, 96, u"F5"},
    {Key::f6, 97, u"F6"}, {Key::f7, 98, u"F7"}, {Key::f8, 100, u"F8"},
    {Key::f9, 101, u"F9"}, {Key::f10, 109, u"F10"}, {Key::f11, 103, u"F11"},
    {Key::f12, 111, u"F12"}, {Key::f13, 105, u"F13"}, {Key::f14, 107, u"F14"},
    {Key::f15, 113, u"F15"}, {Key::f16, 106, u"F16"}, {Key::f17, 64, u"F17"},
    {Key::f18, 79, u"F18"}, {Key::f19, 80, u"F19"}, {Key::f20, 90, u"F20"},
    {Key::keypad0, 82, u"0"}, {Key::keypad1, 83, u"1"}, {Key::keypad2, 84, u"2"}, {Key::keypad3, 85, u"3"},
    {Key::keypad4, 86, u"4"}, {Key::keypad5, 87, u"5"}, {Key::keypad6, 88, u"6"}, {Key::keypad7, 89, u"7"},
    {Key::keypad8, 91, u"8"}, {Key::keypad9, 92, u"9"}, {Key::keypadClear, 71, u"\u2327"},
    {Key::keypadDecimal, 65, u"."}, {Key::keypadDivide, 75, u"/"}, {Key::keypadEnter, 76, u"\u21A9\uFE0E"},
    {Key::keypadEquals, 81, u"="}, {Key::keypadMinus, 78, u"-"}, {Key::keypadMultiply, 67, u"\U0001D5D1"},
    {Key::keypadPlus, 69, u"+"}, {Key::escape, 53, u"\u238B"}, {Key::delete_, 51, u"\u232B"},
    {Key::forwardDelete, 117, u"\u2326"}, {Key::help, 114, u"Inser"}, {Key::volumeUp, 72, u"\U0001F50A"},
    {Key::volumeDown, 73, u"\U0001F509"}, {Key::mute, 74, u"\U0001F507"},
};

class KeyTableTest : public ::testing::TestWithParam<KeyRow> {};

TEST_P(KeyTableTest, code_and_display_match_the_table_and_the_code_finds_the_key)
{
    const KeyRow &row = GetParam();
    EXPECT_EQ(Keys::carbonKeyCode(row.key), row.code);
    EXPECT_EQ(Keys::description(row.key), QString::fromUtf16(row.display));
    ASSERT_TRUE(Keys::fromCarbonKeyCode(row.code).has_value());
    EXPECT_EQ(*Keys::fromCarbonKeyCode(row.code), row.key);
}

INSTANTIATE_TEST_SUITE_P(AllKeys, KeyTableTest, ::testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(Keys::name(info.param.key)); });

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

TEST(KeyTable, has_114_keys_in_declaration_order_with_distinct_codes)
{
    ASSERT_EQ(std::size(kRows), size_t(114));
    ASSERT_EQ(Keys::all().size(), size_t(114));
    std::set<uint32_t> codes;
    for (size_t i = 0; i < Keys::all().size(); ++i) {
        EXPECT_EQ(Keys::all()[i], kRows[i].key) << i;
        codes.insert(Keys::carbonKeyCode(Keys::all()[i]));
    }
    EXPECT_EQ(codes.size(), size_t(114));
}

class CodeOfNoKeyTest : public ::testing::TestWithParam<uint32_t> {};

TEST_P(CodeOfNoKeyTest, belongs_to_no_key)
{
    EXPECT_FALSE(Keys::fromCarbonKeyCode(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Gaps, CodeOfNoKeyTest,
                         ::testing::Values(52u, 66u, 68u, 70u, 77u, 93u, 94u, 95u, 102u, 104u, 108u, 110u, 112u, 127u,
                                           128u, 255u, 0x10000u, 0xFFFFFFFFu),
                         [](const auto &info) { return "code_" + std::to_string(info.param); });

TEST(KeyTable, every_code_from_0_to_126_outside_the_gaps_has_a_key)
{
    const std::set<uint32_t> gaps = {52, 66, 68, 70, 77, 93, 94, 95, 102, 104, 108, 110, 112};
    for (uint32_t code = 0; code <= 126; ++code)
        EXPECT_EQ(Keys::fromCarbonKeyCode(code).has_value(), !gaps.count(code)) << code;
}

// --- modifier conversions ---

struct MaskRow {
    const char *name;
    uint64_t flags;
    uint32_t carbon;
};

const MaskRow kMasks[] = {
    {"none", 0, 0},
    {"command", 0x100000, 256},
    {"shift", 0x20000, 512},
    {"option", 0x80000, 2048},
    {"control", 0x40000, 4096},
    {"command_shift", 0x120000, 768},
    {"command_option", 0x180000, 2304},
    {"command_control", 0x140000, 4352},
    {"option_control", 0xC0000, 6144},
    {"command_option_control", 0x1C0000, 6400},
    {"all_four", 0x1E0000, 0x1B00},
};

class MaskTest : public ::testing::TestWithParam<MaskRow> {};

TEST_P(MaskTest, converts_both_ways)
{
    EXPECT_EQ(ModifierFlags::carbonFlags(GetParam().flags), GetParam().carbon);
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(GetParam().carbon), GetParam().flags);
}

INSTANTIATE_TEST_SUITE_P(Pairs, MaskTest, ::testing::ValuesIn(kMasks),
                         [](const auto &info) { return std::string(info.param.name); });

struct DropRow {
    const char *name;
    uint64_t flags;
    uint32_t carbon;
};

class DroppedBitsTest : public ::testing::TestWithParam<DropRow> {};

TEST_P(DroppedBitsTest, other_bits_are_dropped)
{
    EXPECT_EQ(ModifierFlags::carbonFlags(GetParam().flags), GetParam().carbon);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, DroppedBitsTest,
    ::testing::Values(DropRow{"caps_lock_flag_dropped", 0x10000 | 0x100000, 256},
                      DropRow{"function_flag_dropped", 0x800000 | 0x20000, 512},
                      DropRow{"numeric_pad_flag_dropped", 0x200000, 0},
                      DropRow{"low_bits_dropped", 0xFFFF, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ModifierMask, unknown_service_bits_are_dropped)
{
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(0x400 | 0x100 | 0x1), ModifierFlags::kCommand);
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(0xFFFFE0FF), 0u);
}

// --- KeyCombo ---

TEST(KeyComboTest, v_with_command_and_shift)
{
    const KeyCombo combo(Key::v, ModifierFlags::kCommand | ModifierFlags::kShift);
    EXPECT_EQ(combo.carbonKeyCode, 9u);
    EXPECT_EQ(combo.carbonModifiers, 768u);
    EXPECT_EQ(combo.description(), QStringLiteral("⇧⌘V"));
    EXPECT_EQ(combo.key(), Key::v);
    EXPECT_EQ(combo.modifiers(), 0x120000u);
}

TEST(KeyComboTest, code_of_no_key_has_no_key_and_describes_only_modifiers)
{
    const KeyCombo combo(52, 768);
    EXPECT_FALSE(combo.key().has_value());
    EXPECT_EQ(combo.description(), QStringLiteral("⇧⌘"));
}

TEST(KeyComboTest, description_orders_control_option_shift_command)
{
    const KeyCombo combo(Key::f1, ModifierFlags::kDeviceIndependentMask);
    EXPECT_EQ(combo.description(), QStringLiteral("⌃⌥⇧⌘") + QString::fromUtf16(u"F1"));
}

TEST(KeyComboTest, equality_needs_both_fields)
{
    EXPECT_EQ(KeyCombo(9, 768), KeyCombo(Key::v, 0x120000));
    EXPECT_NE(KeyCombo(9, 768), KeyCombo(9, 256));
    EXPECT_NE(KeyCombo(9, 768), KeyCombo(11, 768));
}

TEST(KeyComboTest, setters_store_codes_and_converted_masks)
{
    KeyCombo combo(Key::v, 0);
    combo.setKey(Key::k);
    EXPECT_EQ(combo.carbonKeyCode, 40u);
    combo.setKey(std::nullopt);
    EXPECT_EQ(combo.carbonKeyCode, 0u);
    EXPECT_EQ(combo.key(), Key::a); // code 0 is the A key
    combo.setModifiers(ModifierFlags::kOption | ModifierFlags::kCommand | 0x10000);
    EXPECT_EQ(combo.carbonModifiers, 2304u);
}

} // namespace
