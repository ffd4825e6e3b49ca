// The global shortcut against the real program: Super+Shift+V shows and hides
// the bottom panel while another program has the focus, a recorded shortcut
// replaces it across a restart, and a combination another program holds is
// refused.
#include <cstdint>
#include <cstdlib>

#include <gtest/gtest.h>

#include <QWidget>

#include <xcb/xcb.h>

#include "hotkey/hotkeymanager.h"
#include "hotkey/keycombodto.h"
#include "platform/userdefaults.h"
#include "support/e2esteps.h"
#include "support/e2etest.h"
#include "support/patience.h"

namespace {

// A second X client for the hot-key test: checks whether a key combination
// can be grabbed on the root window (it cannot while another client holds
// it) and holds grabs of its own.
class HotkeyXProbe final
{
public:
    static constexpr uint16_t kShift = 0x01, kAlt = 0x08, kSuper = 0x40;
    static constexpr uint16_t kSuperShift = kSuper | kShift;
    static constexpr uint8_t kKeycodeV = 55, kKeycodeK = 45;

    HotkeyXProbe() : m_connection(xcb_connect(nullptr, nullptr))
    {
        if (connected())
            m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~HotkeyXProbe() { xcb_disconnect(m_connection); }
    HotkeyXProbe(const HotkeyXProbe &) = delete;
    HotkeyXProbe &operator=(const HotkeyXProbe &) = delete;

    bool connected() const { return !xcb_connection_has_error(m_connection); }

    // Keeps the combination until destruction; false when refused.
    bool hold(uint8_t keycode, uint16_t modifiers)
    {
        xcb_generic_error_t *error = xcb_request_check(
            m_connection, xcb_grab_key_checked(m_connection, 1, m_root, modifiers, keycode, XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }

    // True when nobody else holds the combination (the probe releases it again).
    bool canGrab(uint8_t keycode, uint16_t modifiers)
    {
        if (!hold(keycode, modifiers))
            return false;
        xcb_ungrab_key(m_connection, keycode, m_root, modifiers);
        // One round trip: the release is done before the caller goes on.
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        return true;
    }

private:
    xcb_connection_t *m_connection;
    uint32_t m_root = 0;
};

class HotkeyE2E : public E2ETest
{
protected:
    HotkeyE2E() : E2ETest({QStringLiteral("xdotool")}) {}

    void SetUp() override
    {
        E2ETest::SetUp();
        if (IsSkipped())
            return;
        if (!probe.connected())
            GTEST_SKIP() << "cannot open a second X connection";
        // The combinations must be free before the program starts.
        ASSERT_TRUE(probe.canGrab(HotkeyXProbe::kKeycodeV, HotkeyXProbe::kSuperShift))
            << "another client holds Super+Shift+V";
        // Another program's window, here the test's own, holds the focus.
        other.setWindowTitle(QStringLiteral("other program"));
        other.resize(400, 300);
        other.show();
    }

    // Starts `which` and waits until it holds the combination. The program
    // grabs its shortcut while it starts, before it answers on its command
    // socket: probing earlier could hold the key at the very moment it
    // grabs, and its grab would be refused.
    void startHolding(RunningApp &which, uint8_t keycode, uint16_t modifiers)
    {
        ASSERT_TRUE(which.start()) << which.log().toStdString();
        ASSERT_EQ(which.runCommand({QStringLiteral("list")}), 0);
        ASSERT_TRUE(waitUntil([&] { return !probe.canGrab(keycode, modifiers); }, 10000)) << which.log().toStdString();
        const QString id = QString::number(other.winId());
        ASSERT_TRUE(waitUntil([&] {
            xdotool(QStringLiteral("windowactivate ") + id);
            return activeWindow() == id;
        }, 5000));
    }

    // Presses `chord` and waits for the panel of `which` to be shown or hidden.
    static bool togglesPanel(const RunningApp &which, const QString &chord, bool shown)
    {
        return pressKeys(chord) && waitUntil([&] { return panelWindow(which.pid()).isEmpty() != shown; }, 5000);
    }

    HotkeyXProbe probe;
    QWidget other;
};

// The lock variants are held too: the shortcut works with Caps Lock or Num Lock on.
TEST_F(HotkeyE2E, super_shift_v_toggles_the_panel_and_a_recorded_shortcut_replaces_it_across_a_restart)
{
    ASSERT_NO_FATAL_FAILURE(startHolding(app, HotkeyXProbe::kKeycodeV, HotkeyXProbe::kSuperShift));
    EXPECT_FALSE(probe.canGrab(HotkeyXProbe::kKeycodeV, HotkeyXProbe::kSuperShift | 0x10 | 0x02));
    EXPECT_TRUE(togglesPanel(app, QStringLiteral("super+shift+v"), true)) << app.log().toStdString();
    EXPECT_TRUE(togglesPanel(app, QStringLiteral("super+shift+v"), false));
    for (const QString &lock : {QStringLiteral("Caps_Lock"), QStringLiteral("Num_Lock")}) {
        ASSERT_TRUE(pressKeys(lock));
        EXPECT_TRUE(togglesPanel(app, QStringLiteral("super+shift+v"), lock.startsWith(u'C'))) << lock.toStdString();
        ASSERT_TRUE(pressKeys(lock));
    }
    app.stop();

    // Alt+Super+K, as the recorder stores it (its key handling is checked
    // in the hot-key tests), over the program's own settings file.
    const KeyComboDTO altSuperK{40, 0x180000, QStringLiteral("⌘⌥K")};
    UserDefaults(app.defaultsPath()).setBytes(HotKeyManager::kDefaultsKey, altSuperK.toJson());

    ASSERT_NO_FATAL_FAILURE(startHolding(app, HotkeyXProbe::kKeycodeK, HotkeyXProbe::kSuper | HotkeyXProbe::kAlt));
    EXPECT_TRUE(probe.canGrab(HotkeyXProbe::kKeycodeV, HotkeyXProbe::kSuperShift)) << "the old shortcut is still held";
    // The old chord does nothing: had it toggled, the new one would hide the panel.
    ASSERT_TRUE(pressKeys(QStringLiteral("super+shift+v")));
    EXPECT_TRUE(togglesPanel(app, QStringLiteral("super+alt+k"), true)) << app.log().toStdString();
    EXPECT_TRUE(togglesPanel(app, QStringLiteral("super+alt+k"), false));
}

// Another program holds the combination: the program says so in one line.
TEST_F(HotkeyE2E, a_combination_another_program_holds_is_refused_with_one_line)
{
    ASSERT_TRUE(probe.hold(HotkeyXProbe::kKeycodeV, HotkeyXProbe::kSuperShift));
    ASSERT_TRUE(launch(app));
    const QString refused = QStringLiteral("HotKey: the X server refused Super+Shift+V, another program holds it");
    EXPECT_TRUE(app.waitForLog(refused)) << app.log().toStdString();
    EXPECT_EQ(app.log().count(QStringLiteral("HotKey: the X server")), 1) << app.log().toStdString();
}

} // namespace
