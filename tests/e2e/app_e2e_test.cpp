// The shell against a real X server without a system tray (the tray icon is
// clicked on the way out in exit_e2e_test.cpp): the settings open, and a
// second launch and the command line reach the running instance.
#include <gtest/gtest.h>

#include "support/e2esteps.h"
#include "support/e2etest.h"
#include "support/patience.h"

namespace {

class AppE2E : public E2ETest
{
protected:
    AppE2E() : E2ETest(words(QStringLiteral("xclip xdotool xprop"))) {}

    // The history as `bramblet list` prints it, one clip a line.
    QStringList listed()
    {
        QByteArray out;
        app.runCommand({QStringLiteral("list")}, &out);
        return QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
    }
};

// Without a tray it says so in one line, and the settings window stays off the taskbar.
TEST_F(AppE2E, without_a_tray_the_settings_open_and_the_command_line_reaches_the_running_instance)
{
    if (xdotool(QStringLiteral("search --class trayer")) == 0)
        GTEST_SKIP() << "a system tray is running on this display";
    ASSERT_TRUE(launch(app));
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Settings: window shown")));
    EXPECT_EQ(app.log().count(QStringLiteral("StatusItem: no system tray")), 1);
    // The window maps a moment after the program says it shows it.
    QString settings;
    ASSERT_TRUE(waitUntil([&] {
        settings = visibleWindows(app.pid(), QStringLiteral("Réglages Bramblet")).value(0);
        return !settings.isEmpty();
    }, 5000));
    QByteArray state;
    // The window manager applies the state asynchronously.
    waitUntil([&] {
        tool(QStringLiteral("xprop -id %1 _NET_WM_STATE").arg(settings), &state);
        return state.contains("_NET_WM_STATE_SKIP_TASKBAR");
    }, 5000);
    EXPECT_TRUE(state.contains("_NET_WM_STATE_SKIP_TASKBAR")) << state.toStdString();
    EXPECT_TRUE(state.contains("_NET_WM_STATE_SKIP_PAGER")) << state.toStdString();

    QByteArray out, err;
    EXPECT_EQ(app.runCommand({}, &out, &err), 0) << err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(out).contains(QStringLiteral("réglages"))) << out.toStdString();
    EXPECT_EQ(app.log().count(QStringLiteral("ClipboardStore init")), 1); // no second store

    // Something else takes the clipboard after our clip, then `copy 2` brings the clip back
    // (the listing's order is checked by the command handler's tests).
    const QByteArray text = "copié depuis le test e2e";
    ASSERT_TRUE(copy(text));
    ASSERT_TRUE(copy("autre"));
    ASSERT_EQ(listed().size(), 2);

    EXPECT_EQ(app.runCommand({QStringLiteral("copy"), QStringLiteral("2")}, nullptr, &err), 0) << err.toStdString();
    EXPECT_TRUE(waitUntil([&] { return clipboardText() == text; }, 3000)) << clipboardText().toStdString();
    // Not captured again: once the watcher has dropped our write, the history still holds two clips.
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Store: shouldIgnore = true (one-shot)"))) << app.log().toStdString();
    EXPECT_EQ(listed().size(), 2);

    EXPECT_EQ(app.runCommand({QStringLiteral("toggle")}), 0);
    EXPECT_EQ(app.runCommand({QStringLiteral("quit")}), 0);
    EXPECT_TRUE(app.process().waitForFinished(scaledMs(5000)));
    EXPECT_EQ(app.runCommand({QStringLiteral("toggle")}, nullptr, &err), 3);
    EXPECT_TRUE(QString::fromUtf8(err).contains(QStringLiteral("pas lancé"))) << err.toStdString();
}

} // namespace
