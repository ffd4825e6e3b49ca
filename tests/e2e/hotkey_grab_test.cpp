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
constexpr uint32_t kCarbonCtrlAltShift = 0x1000 | 0x800 | 0x200;
constexpr uint16_t kXCtrlAltShift = HotkeyXProbe::kControl | HotkeyXProbe::kAlt | HotkeyXProbe::kShift;

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

TEST_F(X11GrabTest, registered_combination_is_grabbed_with_lock_variants_and_released)
{
    X11GlobalShortcutService service;
    Service::Registration ref = 0;
    ASSERT_EQ(service.registerHotKey(40, kCarbonCtrlAltShift, {0x5771766D, 1}, &ref), Service::kNoErr);
    for (uint16_t lock : {0x00, 0x02, 0x10, 0x12})
        EXPECT_FALSE(probe.canGrab(HotkeyXProbe::kKeycodeK, kXCtrlAltShift | lock)) << "lock " << lock;
    // A different modifier set is not ours.
    EXPECT_TRUE(probe.canGrab(HotkeyXProbe::kKeycodeK, HotkeyXProbe::kControl));

    EXPECT_EQ(service.unregisterHotKey(ref), Service::kNoErr);
    // The service's ungrabs go out on Qt's connection; the probe, another
    // client, sees them once the server has handled them.
    HotkeyXProbe::catchUp(X11Connection::connection());
    for (uint16_t lock : {0x00, 0x02, 0x10, 0x12})
        EXPECT_TRUE(probe.canGrab(HotkeyXProbe::kKeycodeK, kXCtrlAltShift | lock)) << "lock " << lock;
    EXPECT_EQ(service.unregisterHotKey(ref), Service::kHotKeyInvalidErr);
    EXPECT_EQ(service.unregisterHotKey(std::nullopt), Service::kHotKeyInvalidErr);
}

TEST_F(X11GrabTest, press_and_release_reach_the_hot_key_whatever_the_lock_state)
{
    X11GlobalShortcutService service;
    HotKeysController controller(service);
    int downs = 0, ups = 0;
    HotKey hotKey(controller, Key::k, ModifierFlags::kControl | ModifierFlags::kOption | ModifierFlags::kShift,
                  [&] { ++downs; }, [&] { ++ups; });
    ASSERT_TRUE(controller.findBox(hotKey)->registration.has_value());

    ASSERT_TRUE(pressKeys(QStringLiteral("ctrl+alt+shift+k")));
    EXPECT_TRUE(waitUntil([&] { return downs == 1 && ups == 1; }, 5000)) << downs << " " << ups;

    ASSERT_TRUE(pressKeys(QStringLiteral("Caps_Lock")));
    ASSERT_TRUE(pressKeys(QStringLiteral("ctrl+alt+shift+k")));
    const bool withCaps = waitUntil([&] { return downs == 2 && ups == 2; }, 5000);
    ASSERT_TRUE(pressKeys(QStringLiteral("Caps_Lock")));
    EXPECT_TRUE(withCaps);

    ASSERT_TRUE(pressKeys(QStringLiteral("Num_Lock")));
    ASSERT_TRUE(pressKeys(QStringLiteral("ctrl+alt+shift+k")));
    const bool withNum = waitUntil([&] { return downs == 3 && ups == 3; }, 5000);
    ASSERT_TRUE(pressKeys(QStringLiteral("Num_Lock")));
    EXPECT_TRUE(withNum);

    // Paused: the grab is gone and presses reach nobody.
    hotKey.setPaused(true);
    HotkeyXProbe::catchUp(X11Connection::connection());
    EXPECT_TRUE(probe.canGrab(HotkeyXProbe::kKeycodeK, kXCtrlAltShift));
}

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
    EXPECT_EQ(log.lines(Log::Level::Error),
              QStringList{QStringLiteral("HotKey: the X server refused Super+Alt+J, another program holds it")});

    // Our failed attempt left the other client's grab in place.
    probe.release(HotkeyXProbe::kKeycodeJ, superAlt);
    EXPECT_TRUE(probe.canGrab(HotkeyXProbe::kKeycodeJ, superAlt));
    EXPECT_EQ(downs, 0);
}

TEST_F(X11GrabTest, key_without_position_is_refused_with_a_line)
{
    LogCapture log;
    X11GlobalShortcutService service;
    Service::Registration ref = 0;
    EXPECT_EQ(service.registerHotKey(63, 0x100, {0x5771766D, 1}, &ref), Service::kHotKeyInvalidErr);
    EXPECT_EQ(log.lines(Log::Level::Error), QStringList{QStringLiteral("HotKey: Super+#63 has no key on this keyboard")});
}

} // namespace
