#include <gtest/gtest.h>

#include <QStringList>

#include "hotkey/key.h"
#include "platform/portal/portaltrigger.h"

namespace {

constexpr uint32_t kCommand = 0x100;

// The triggers' form is checked where the portal binds the default and a
// recorded shortcut.
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
