// The global shortcut against the real program: Super+Shift+V shows and hides
// the bottom panel while another program has the focus, and a shortcut
// recorded with the recorder button replaces it across a restart.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include "hotkey/hotkeymanager.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/keycombodto.h"
#include "hotkey/shortcutrecorder.h"
#include "hotkey_xprobe.h"
#include "platform/fake/fakeglobalshortcutservice.h"
#include "platform/userdefaults.h"
#include "support/e2esteps.h"
#include "support/patience.h"
#include "support/runningapp.h"

namespace {

constexpr int kPanelHeight = 330;

QString tool(const QString &program, const QStringList &args)
{
    QByteArray out;
    runTool(program, args, &out);
    return QString::fromUtf8(out).trimmed();
}

// Visible windows of `pid` with the overlay panel's height.
QStringList visiblePanels(qint64 pid)
{
    QStringList panels;
    const QString ids = tool(QStringLiteral("xdotool"),
                             {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                              QString::number(pid)});
    for (const QString &id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString shell = tool(QStringLiteral("xdotool"),
                                   {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id});
        if (shell.contains(QStringLiteral("HEIGHT=%1").arg(kPanelHeight)))
            panels << id;
    }
    return panels;
}

// Another program's window, here the test's own process, holding the focus.
class OtherProgramWindow
{
public:
    OtherProgramWindow()
    {
        m_window.setWindowTitle(QStringLiteral("other program"));
        m_window.resize(400, 300);
        m_window.show();
    }
    bool takeFocus()
    {
        const QString id = QString::number(m_window.winId());
        return waitUntil(
            [&] {
                xdotool({QStringLiteral("windowactivate"), id});
                return activeWindow() == id;
            },
            5000);
    }

private:
    QWidget m_window;
};

class HotkeyE2E : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString reason = RunningApp::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        if (!probe.connected())
            GTEST_SKIP() << "cannot open a second X connection";
        // The combinations must be free before the program starts.
        ASSERT_TRUE(probe.canGrab(HotkeyXProbe::kKeycodeV, HotkeyXProbe::kSuper | HotkeyXProbe::kShift))
            << "another client holds Super+Shift+V";
    }

    // Waits until the running program holds the combination.
    // The program grabs its shortcut while it starts, before it answers on
    // its command socket: probing earlier could hold the key at the very
    // moment it grabs, and its grab would be refused.
    bool waitForGrab(RunningApp &app, uint8_t keycode, uint16_t modifiers)
    {
        if (app.runCommand({QStringLiteral("list")}) != 0)
            return false;
        return waitUntil([&] { return !probe.canGrab(keycode, modifiers); }, 10000);
    }

    HotkeyXProbe probe;
};

TEST_F(HotkeyE2E, super_shift_v_shows_and_hides_the_panel_over_another_program)
{
    RunningApp app;
    ASSERT_TRUE(app.start()) << app.log().toStdString();
    const uint16_t superShift = HotkeyXProbe::kSuper | HotkeyXProbe::kShift;
    ASSERT_TRUE(waitForGrab(app, HotkeyXProbe::kKeycodeV, superShift)) << app.log().toStdString();
    // The lock variants are held too.
    EXPECT_FALSE(probe.canGrab(HotkeyXProbe::kKeycodeV, superShift | 0x02));
    EXPECT_FALSE(probe.canGrab(HotkeyXProbe::kKeycodeV, superShift | 0x10 | 0x02));

    OtherProgramWindow other;
    ASSERT_TRUE(other.takeFocus());
    EXPECT_TRUE(visiblePanels(app.pid()).isEmpty());

    ASSERT_TRUE(pressKeys(QStringLiteral("super+shift+v")));
    EXPECT_TRUE(waitUntil([&] { return visiblePanels(app.pid()).size() == 1; }, 5000))
        << app.log().toStdString();

    ASSERT_TRUE(pressKeys(QStringLiteral("super+shift+v")));
    EXPECT_TRUE(waitUntil([&] { return visiblePanels(app.pid()).isEmpty(); }, 5000));

    // Shown again over the other program once it has the focus back.
    ASSERT_TRUE(other.takeFocus());
    ASSERT_TRUE(pressKeys(QStringLiteral("super+shift+v")));
    EXPECT_TRUE(waitUntil([&] { return visiblePanels(app.pid()).size() == 1; }, 5000));
}

TEST_F(HotkeyE2E, recorded_shortcut_replaces_the_default_and_survives_a_restart)
{
    RunningApp first;
    ASSERT_TRUE(first.start()) << first.log().toStdString();
    ASSERT_TRUE(waitForGrab(first, HotkeyXProbe::kKeycodeV, HotkeyXProbe::kSuper | HotkeyXProbe::kShift))
        << first.log().toStdString();
    first.stop();
    const QString root = first.root();
    const QString defaultsPath = first.configDir() + QStringLiteral("/Bramblet/Bramblet.conf");

    {
        // The recorder button, over the program's own defaults file: click it
        // and press Alt+Super+K as the xcb platform delivers it.
        UserDefaults defaults(defaultsPath);
        ASSERT_EQ(KeyComboDTO::fromJson(*defaults.bytesValue(QStringLiteral("bramblet.hotkey"))),
                  KeyComboDTO::defaultCombo());
        FakeGlobalShortcutService service;
        HotKeysController controller(service);
        HotKeyManager manager(controller, defaults, [] {});
        ShortcutRecorder recorder(manager);
        recorder.show();
        QTest::mouseClick(&recorder, Qt::LeftButton);
        ASSERT_TRUE(recorder.isRecording());
        QKeyEvent press(QEvent::KeyPress, Qt::Key_K, Qt::AltModifier | Qt::MetaModifier, 37 + 8, 0x6b, 0x48,
                        QStringLiteral("k"));
        QApplication::sendEvent(&recorder, &press);
        ASSERT_FALSE(recorder.isRecording());
        ASSERT_EQ(recorder.text(), QStringLiteral("⌘⌥K"));
    }

    RunningApp second(root);
    ASSERT_TRUE(second.start()) << second.log().toStdString();
    const uint16_t superAlt = HotkeyXProbe::kSuper | HotkeyXProbe::kAlt;
    ASSERT_TRUE(waitForGrab(second, HotkeyXProbe::kKeycodeK, superAlt)) << second.log().toStdString();
    EXPECT_TRUE(probe.canGrab(HotkeyXProbe::kKeycodeV, HotkeyXProbe::kSuper | HotkeyXProbe::kShift))
        << "the old shortcut is still held";

    OtherProgramWindow other;
    ASSERT_TRUE(other.takeFocus());
    // The old chord does nothing: had it toggled, the new one would hide the panel.
    ASSERT_TRUE(pressKeys(QStringLiteral("super+shift+v")));
    ASSERT_TRUE(pressKeys(QStringLiteral("super+alt+k")));
    EXPECT_TRUE(waitUntil([&] { return visiblePanels(second.pid()).size() == 1; }, 5000))
        << second.log().toStdString();
    ASSERT_TRUE(pressKeys(QStringLiteral("super+alt+k")));
    EXPECT_TRUE(waitUntil([&] { return visiblePanels(second.pid()).isEmpty(); }, 5000));
    second.stop();

    UserDefaults after(defaultsPath);
    const auto stored = after.bytesValue(QStringLiteral("bramblet.hotkey"));
    ASSERT_TRUE(stored);
    EXPECT_EQ(KeyComboDTO::fromJson(*stored), (KeyComboDTO{40, 0x180000, QStringLiteral("⌘⌥K")}));
}

} // namespace
