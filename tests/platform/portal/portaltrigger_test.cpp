#include <gtest/gtest.h>

#include <QStringList>

#include "hotkey/key.h"
#include "platform/portal/portaltrigger.h"

namespace {

constexpr uint32_t kCommand = 0x100;
constexpr uint32_t kShift = 0x200;
constexpr uint32_t kOption = 0x800;
constexpr uint32_t kControl = 0x1000;

struct TriggerRow {
    const char *name;
    uint32_t keyCode;
    uint32_t modifiers;
    const char *trigger; // null: no trigger
    const char *shortcutId;
};

class PortalTriggerTest : public ::testing::TestWithParam<TriggerRow> {};

TEST_P(PortalTriggerTest, writes_the_freedesktop_shortcut_form)
{
    const TriggerRow &row = GetParam();
    const std::optional<QString> trigger = PortalTrigger::fromCombo(row.keyCode, row.modifiers);
    ASSERT_EQ(trigger.has_value(), row.trigger != nullptr);
    if (trigger) {
        EXPECT_EQ(trigger->toStdString(), row.trigger);
        EXPECT_EQ(PortalTrigger::shortcutId(*trigger).toStdString(), row.shortcutId);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Combos, PortalTriggerTest,
    ::testing::Values(
        TriggerRow{"all_four_modifiers_in_fixed_order", 40, kShift | kControl | kOption | kCommand,
                   "LOGO+CTRL+ALT+SHIFT+k", "bramblet-logo-ctrl-alt-shift-k"},
        TriggerRow{"function_key_keeps_its_case", 122, kControl, "CTRL+F1", "bramblet-ctrl-f1"},
        TriggerRow{"keypad_enter", 76, kCommand, "LOGO+KP_Enter", "bramblet-logo-kpenter"},
        TriggerRow{"other_mask_bits_are_dropped", 9, kCommand | 0x1, "LOGO+v", "bramblet-logo-v"},
        TriggerRow{"code_of_no_key", 52, kCommand, nullptr, nullptr},
        TriggerRow{"code_beyond_the_table", 127, kCommand, nullptr, nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PortalTriggerTest, every_key_but_fn_has_a_keysym_and_its_own_id)
{
    QStringList ids;
    for (Key key : Keys::all()) {
        const std::optional<QString> trigger = PortalTrigger::fromCombo(Keys::carbonKeyCode(key), kCommand);
        ASSERT_EQ(trigger.has_value(), key != Key::function) << Keys::name(key);
        const QString id = trigger ? PortalTrigger::shortcutId(*trigger) : QString();
        EXPECT_FALSE(trigger && ids.contains(id)) << Keys::name(key) << " shares " << id.toStdString();
        ids << id;
    }
}

} // namespace
