// The X11 shortcut service against a real X server: passive grabs on the
// root window, lock variants, press/release delivery, refused grabs.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTest>

#include "hotkey/hotkey.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/modifierflags.h"
#include "hotkey_xprobe.h"
#include "platform/x11/x11connection.h"
#include "platform/x11/x11globalshortcutservice.h"
#include "support/e2esteps.h"
#include "support/logcapture.h"
#include "support/patience.h"

namespace {

using Service = GlobalShortcutService;
constexpr uint16_t kXCtrlAltShift = HotkeyXProbe::kControl | HotkeyXProbe::kAlt | HotkeyXProbe::kShift;
constexpr uint16_t kLocks[] = {0x00, 0x02, 0x10, 0x12}; // none, Caps Lock, Num Lock, both

class X11GrabTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !X11Connection::available())
            GTEST_SKIP() << "needs an X display (run through scripts/run-tests.sh)";
        if (!probe.connected())
            GTEST_SKIP() << "cannot open a second X connection";
    }

    HotkeyXProbe probe;
};

// Grabbed on the root window with every lock variant, delivered whatever the
// lock state, and given back when paused.
TEST_F(X11GrabTest, hot_key_is_grabbed_with_lock_variants_delivered_and_released)
{
    X11GlobalShortcutService service;
    HotKeysController controller(service);
    int downs = 0, ups = 0;
    HotKey hotKey(controller, Key::k, ModifierFlags::kControl | ModifierFlags::kOption | ModifierFlags::kShift,
                  [&] { ++downs; }, [&] { ++ups; });
    const std::optional<Service::Registration> ref = controller.findBox(hotKey)->registration;
    ASSERT_TRUE(ref.has_value());
    for (uint16_t lock : kLocks)
        EXPECT_FALSE(probe.canGrab(HotkeyXProbe::kKeycodeK, kXCtrlAltShift | lock)) << "lock " << lock;
    // A different modifier set is not ours.
    EXPECT_TRUE(probe.canGrab(HotkeyXProbe::kKeycodeK, HotkeyXProbe::kControl));

    for (const char *lock : {"", "Caps_Lock", "Num_Lock"}) {
        const QString lockKey = QString::fromLatin1(lock);
        ASSERT_TRUE(lockKey.isEmpty() || pressKeys(lockKey));
        ASSERT_TRUE(pressKeys(QStringLiteral("ctrl+alt+shift+k")));
        const int presses = downs + 1;
        const bool delivered = waitUntil([&] { return downs == presses && ups == presses; }, 5000);
        ASSERT_TRUE(lockKey.isEmpty() || pressKeys(lockKey));
        EXPECT_TRUE(delivered) << "with '" << lock << "': " << downs << " " << ups;
    }

    // Paused: the grab is gone, every lock variant with it.
    hotKey.setPaused(true);
    // The service's ungrabs go out on Qt's connection; the probe, another
    // client, sees them once the server has handled them.
    HotkeyXProbe::catchUp(X11Connection::connection());
    for (uint16_t lock : kLocks)
        EXPECT_TRUE(probe.canGrab(HotkeyXProbe::kKeycodeK, kXCtrlAltShift | lock)) << "lock " << lock;
    EXPECT_EQ(service.unregisterHotKey(ref), Service::kHotKeyInvalidErr);
    EXPECT_EQ(service.unregisterHotKey(std::nullopt), Service::kHotKeyInvalidErr);
}

// A combination another client holds, or a key this keyboard lacks: one
// line each, and the other client's grab stays in place.
TEST_F(X11GrabTest, refused_grab_logs_one_line_and_leaves_a_silent_entry)
{
    const uint16_t superAlt = HotkeyXProbe::kSuper | HotkeyXProbe::kAlt;
    ASSERT_TRUE(probe.hold(HotkeyXProbe::kKeycodeJ, superAlt));

    LogCapture log;
    X11GlobalShortcutService service;
    HotKeysController controller(service);
    int downs = 0;
    HotKey hotKey(controller, Key::j, ModifierFlags::kCommand | ModifierFlags::kOption, [&] { ++downs; });
    const auto box = controller.findBox(hotKey);
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->registration.has_value());
    Service::Registration ref = 0;
    EXPECT_EQ(service.registerHotKey(63, 0x100, {0x5771766D, 1}, &ref), Service::kHotKeyInvalidErr);
    EXPECT_EQ(log.lines(Log::Level::Error),
              (QStringList{QStringLiteral("HotKey: the X server refused Super+Alt+J, another program holds it"),
                           QStringLiteral("HotKey: Super+#63 has no key on this keyboard")}));

    probe.release(HotkeyXProbe::kKeycodeJ, superAlt);
    EXPECT_TRUE(probe.canGrab(HotkeyXProbe::kKeycodeJ, superAlt));
    EXPECT_EQ(downs, 0);
}

} // namespace
