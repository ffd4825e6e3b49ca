#include <gtest/gtest.h>

#include <QApplication>
#include <QGlyphRun>
#include <QTextLayout>

#include "hotkey/key.h"
#include "hotkey/modifierflags.h"

namespace {

// Stored shortcuts name keys by code, so no two keys may share one. Fonts
// without a glyph for a character (private-use key symbols, say) draw an empty
// box: every name must be drawn by the fonts the packages install.
TEST(KeyTable, every_key_has_its_own_code_and_a_name_the_installed_fonts_draw)
{
    ASSERT_EQ(Keys::all().size(), size_t(114));
    for (const Key key : Keys::all()) {
        EXPECT_EQ(Keys::fromCarbonKeyCode(Keys::carbonKeyCode(key)), key) << Keys::name(key);
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
TEST(ModifierMask, each_modifier_has_its_own_bit_both_ways_and_other_bits_are_dropped)
{
    const struct {
        const char *name;
        uint64_t flags;
        uint32_t carbon;
        uint64_t flagsBack;
    } rows[] = {{"command", 0x100000, 0x100, 0x100000},
                {"shift", 0x20000, 0x200, 0x20000},
                {"option", 0x80000, 0x800, 0x80000},
                {"control", 0x40000, 0x1000, 0x40000},
                {"caps_lock_and_function_flags_dropped", 0x10000 | 0x800000 | 0x100000, 0x100, 0x100000},
                {"numeric_pad_and_low_bits_dropped", 0x200000 | 0xFFFF, 0, 0}};
    for (const auto &row : rows) {
        EXPECT_EQ(ModifierFlags::carbonFlags(row.flags), row.carbon) << row.name;
        EXPECT_EQ(ModifierFlags::fromCarbonFlags(row.carbon), row.flagsBack) << row.name;
    }
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(0x400 | 0x100 | 0x1), ModifierFlags::kCommand);
    EXPECT_EQ(ModifierFlags::fromCarbonFlags(0xFFFFE0FF), 0u);
}

} // namespace
