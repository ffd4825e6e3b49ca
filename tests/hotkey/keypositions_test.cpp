#include <gtest/gtest.h>

#include <set>

#include "hotkey/key.h"
#include "platform/keypositions.h"

namespace {

// Keycodes of a standard evdev X server (xkb "evdev" rules), both ways (the
// recorder's presses check more); every key but fn has its own; codes of no
// key have none.
TEST(KeyPositions, keys_map_to_distinct_evdev_keycodes_both_ways)
{
    const struct {
        const char *name;
        uint32_t code;
        uint8_t keycode;
    } rows[] = {{"v", 9, 55}, {"zero", 29, 19}, {"grave_left_of_one", 50, 49}, {"section_beside_left_shift", 10, 94},
                {"option_is_alt_l", 58, 64}, {"f13", 105, 191}, {"keypad_clear_is_num_lock", 71, 77},
                {"help_is_insert", 114, 118}, {"mute", 74, 121}};
    for (const auto &row : rows) {
        EXPECT_EQ(KeyPositions::keycodeFor(row.code), row.keycode) << row.name;
        EXPECT_EQ(KeyPositions::virtualKeyCodeFor(row.keycode), row.code) << row.name;
    }
    std::set<uint8_t> keycodes;
    for (const Key key : Keys::all()) {
        const auto keycode = KeyPositions::keycodeFor(Keys::carbonKeyCode(key));
        ASSERT_EQ(keycode.has_value(), key != Key::function) << Keys::name(key);
        if (keycode) {
            EXPECT_GE(*keycode, 8);
            keycodes.insert(*keycode);
        }
    }
    EXPECT_EQ(keycodes.size(), size_t(Keys::kCount - 1));

    for (uint32_t code : {52u, 66u, 127u, 0x10000u})
        EXPECT_FALSE(KeyPositions::keycodeFor(code).has_value()) << code;
    EXPECT_EQ(KeyPositions::labelFor(52), QStringLiteral("#52"));
}

} // namespace
