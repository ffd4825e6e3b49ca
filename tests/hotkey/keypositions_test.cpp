#include <gtest/gtest.h>

#include <set>

#include "hotkey/key.h"
#include "platform/keypositions.h"

namespace {

struct PositionRow {
    const char *name;
    uint32_t code;
    uint8_t keycode;
};

class KeyPositionTest : public ::testing::TestWithParam<PositionRow> {};

TEST_P(KeyPositionTest, maps_both_ways)
{
    EXPECT_EQ(KeyPositions::keycodeFor(GetParam().code), GetParam().keycode);
    EXPECT_EQ(KeyPositions::virtualKeyCodeFor(GetParam().keycode), GetParam().code);
}

// Keycodes of a standard evdev X server (xkb "evdev" rules).
INSTANTIATE_TEST_SUITE_P(
    Positions, KeyPositionTest,
    ::testing::Values(PositionRow{"v", 9, 55}, PositionRow{"a", 0, 38}, PositionRow{"q", 12, 24},
                      PositionRow{"k", 40, 45}, PositionRow{"one", 18, 10}, PositionRow{"zero", 29, 19},
                      PositionRow{"return", 36, 36}, PositionRow{"space", 49, 65}, PositionRow{"escape", 53, 9},
                      PositionRow{"grave_left_of_one", 50, 49}, PositionRow{"section_beside_left_shift", 10, 94},
                      PositionRow{"command_is_super_l", 55, 133}, PositionRow{"option_is_alt_l", 58, 64},
                      PositionRow{"f1", 122, 67}, PositionRow{"f12", 111, 96}, PositionRow{"f13", 105, 191},
                      PositionRow{"f20", 90, 198}, PositionRow{"up_arrow", 126, 111},
                      PositionRow{"keypad_enter", 76, 104}, PositionRow{"keypad_clear_is_num_lock", 71, 77},
                      PositionRow{"help_is_insert", 114, 118}, PositionRow{"forward_delete", 117, 119},
                      PositionRow{"mute", 74, 121}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(KeyPositions, every_key_but_fn_has_a_distinct_keycode)
{
    std::set<uint8_t> keycodes;
    for (const Key key : Keys::all()) {
        const auto keycode = KeyPositions::keycodeFor(Keys::carbonKeyCode(key));
        if (key == Key::function) {
            EXPECT_FALSE(keycode.has_value());
            continue;
        }
        ASSERT_TRUE(keycode.has_value()) << Keys::name(key);
        EXPECT_GE(*keycode, 8);
        keycodes.insert(*keycode);
    }
    EXPECT_EQ(keycodes.size(), size_t(Keys::kCount - 1));
}

TEST(KeyPositions, codes_of_no_key_have_no_position)
{
    for (uint32_t code : {52u, 66u, 127u, 0x10000u})
        EXPECT_FALSE(KeyPositions::keycodeFor(code).has_value()) << code;
    EXPECT_FALSE(KeyPositions::virtualKeyCodeFor(0).has_value());
    EXPECT_FALSE(KeyPositions::virtualKeyCodeFor(200).has_value());
    EXPECT_EQ(KeyPositions::labelFor(52), QStringLiteral("#52"));
    EXPECT_EQ(KeyPositions::labelFor(9), QStringLiteral("V"));
}

} // namespace
