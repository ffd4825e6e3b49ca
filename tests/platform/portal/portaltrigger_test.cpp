#include <gtest/gtest.h>

#include <QStringList>

#include "hotkey/key.h"
#include "platform/portal/portaltrigger.h"

namespace {

constexpr uint32_t kCommand = 0x100;
constexpr uint32_t kShift = 0x200;
constexpr uint32_t kOption = 0x800;
constexpr uint32_t kControl = 0x1000;

// Modifiers in a fixed order, keysym names in their own case, other mask bits
// dropped; codes of no key (or beyond the table) give no trigger. The default
// shortcut's form is checked where the portal binds it.
TEST(PortalTrigger, writes_the_freedesktop_shortcut_form)
{
    EXPECT_EQ(PortalTrigger::fromCombo(40, kShift | kControl | kOption | kCommand), QStringLiteral("LOGO+CTRL+ALT+SHIFT+k"));
    EXPECT_EQ(PortalTrigger::fromCombo(122, kControl), QStringLiteral("CTRL+F1"));
    EXPECT_EQ(PortalTrigger::fromCombo(9, kCommand | 0x1), QStringLiteral("LOGO+v"));
    EXPECT_EQ(PortalTrigger::shortcutId(QStringLiteral("LOGO+KP_Enter")), QStringLiteral("bramblet-logo-kpenter"));
    EXPECT_FALSE(PortalTrigger::fromCombo(52, kCommand));
    EXPECT_FALSE(PortalTrigger::fromCombo(127, kCommand));
}

TEST(PortalTrigger, every_key_but_fn_has_a_keysym_and_its_own_id)
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
