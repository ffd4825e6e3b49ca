// The shell against a real X server: the tray icon in a real system tray
// (trayer) opens the panel; without a tray the settings still open, and a
// second launch and the command line reach the running instance.
#include <gtest/gtest.h>

#include "support/e2esteps.h"
#include "support/e2etest.h"
#include "support/patience.h"

namespace {

class AppE2E : public E2ETest
{
protected:
    AppE2E() : E2ETest({QStringLiteral("xclip"), QStringLiteral("xdotool"), QStringLiteral("xprop")}) {}

    // The history as `bramblet list` prints it, one clip a line.
    QStringList listed()
    {
        QByteArray out;
        app.runCommand({QStringLiteral("list")}, &out);
        return QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
    }
};

TEST_F(AppE2E, tray_icon_click_opens_the_panel)
{
    if (!missingProgram({QStringLiteral("trayer")}).isEmpty())
        GTEST_SKIP() << "trayer is not installed (scripts/packages.txt lists it)";
    QProcess trayer;
    ASSERT_TRUE(startTray(trayer));
    ASSERT_TRUE(app.start()) << app.log().toStdString();
    std::optional<QPoint> icon;
    ASSERT_TRUE(waitUntil([&] { return (icon = trayIconCentre()).has_value(); }, 10000))
        << "no icon embedded in the tray\n" << app.log().toStdString();
    EXPECT_FALSE(app.log().contains(QStringLiteral("no system tray")));
    // The settings window opens at launch; let it settle before clicking the tray.
    ASSERT_TRUE(app.waitForLog(QStringLiteral("Settings: window shown")));
    clickAt(*icon);
    EXPECT_TRUE(app.waitForLog(QStringLiteral("MenuBar: panel opened"), 5000)) << app.log().toStdString();
    EXPECT_FALSE(visibleWindows(app.pid(), QStringLiteral("^Bramblet$")).isEmpty());
}

// Without a tray: one line, and the settings window opens, kept off the
// taskbar; a second launch and the command line reach the running instance.
TEST_F(AppE2E, without_a_tray_the_settings_open_and_the_command_line_reaches_the_running_instance)
{
    if (xdotool({QStringLiteral("search"), QStringLiteral("--class"), QStringLiteral("trayer")}) == 0)
        GTEST_SKIP() << "a system tray is running on this display";
    ASSERT_TRUE(launch(app));
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Settings: window shown")));
    EXPECT_EQ(app.log().count(QStringLiteral("StatusItem: no system tray")), 1);
    const QString settings = visibleWindows(app.pid(), QStringLiteral("Réglages Bramblet")).value(0);
    ASSERT_FALSE(settings.isEmpty());
    QByteArray state;
    // The window manager applies the state asynchronously.
    waitUntil([&] {
        runTool(QStringLiteral("xprop"), {QStringLiteral("-id"), settings, QStringLiteral("_NET_WM_STATE")}, &state);
        return state.contains("_NET_WM_STATE_SKIP_TASKBAR");
    }, 5000);
    EXPECT_TRUE(state.contains("_NET_WM_STATE_SKIP_TASKBAR")) << state.toStdString();
    EXPECT_TRUE(state.contains("_NET_WM_STATE_SKIP_PAGER")) << state.toStdString();

    QByteArray out, err;
    EXPECT_EQ(app.runCommand({}, &out, &err), 0) << err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(out).contains(QStringLiteral("réglages"))) << out.toStdString();
    EXPECT_EQ(app.log().count(QStringLiteral("ClipboardStore init")), 1); // no second store

    // Something else takes the clipboard after our clip, then `copy 2` brings the clip back.
    const QByteArray text = "copié depuis le test e2e";
    ASSERT_TRUE(copy(text));
    ASSERT_TRUE(copy("autre"));
    QStringList lines = listed();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("autre")));
    EXPECT_TRUE(lines[1].endsWith(QString::fromUtf8(text)));
    out.clear();
    ASSERT_EQ(app.runCommand({QStringLiteral("list"), QStringLiteral("--json"), QStringLiteral("--limit"), QStringLiteral("1")}, &out), 0);
    EXPECT_TRUE(out.trimmed().startsWith('[')) << out.toStdString();
    EXPECT_TRUE(out.contains("autre"));
    EXPECT_FALSE(out.contains(text));

    EXPECT_EQ(app.runCommand({QStringLiteral("copy"), QStringLiteral("2")}, nullptr, &err), 0) << err.toStdString();
    EXPECT_TRUE(waitUntil([&] { return clipboardText() == text; }, 3000)) << clipboardText().toStdString();
    // Not captured again: once the watcher has dropped our write, the history still holds two clips.
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Store: shouldIgnore = true (one-shot)"))) << app.log().toStdString();
    EXPECT_EQ(listed().size(), 2);

    EXPECT_EQ(app.runCommand({QStringLiteral("copy"), QStringLiteral("9")}), 1);
    EXPECT_EQ(app.runCommand({QStringLiteral("list"), QStringLiteral("--limit"), QStringLiteral("x")}), 2);
    EXPECT_EQ(app.runCommand({QStringLiteral("toggle")}), 0);
    EXPECT_EQ(app.runCommand({QStringLiteral("quit")}), 0);
    EXPECT_TRUE(app.process().waitForFinished(scaledMs(5000)));
    EXPECT_EQ(app.runCommand({QStringLiteral("toggle")}, nullptr, &err), 3);
    EXPECT_TRUE(QString::fromUtf8(err).contains(QStringLiteral("pas lancé"))) << err.toStdString();
}

} // namespace
