// The shell against a real X server: the tray icon in a real system tray
// (trayer) opens the panel, and a second launch and the command line reach
// the running instance.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "support/e2esteps.h"
#include "support/patience.h"
#include "support/runningapp.h"
#include "support/systemtray.h"

namespace {

class AppE2E : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString reason = RunningApp::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
    }
};

TEST_F(AppE2E, tray_icon_click_opens_the_panel)
{
    if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty())
        GTEST_SKIP() << "trayer is not installed (scripts/packages.txt lists it)";
    SystemTray tray;
    ASSERT_TRUE(tray.start());

    RunningApp app;
    ASSERT_TRUE(app.start()) << app.log().toStdString();
    std::optional<QPoint> icon;
    ASSERT_TRUE(waitUntil([&] { return (icon = tray.iconCentre()).has_value(); }, 10000))
        << "no icon embedded in the tray\n" << app.log().toStdString();
    EXPECT_FALSE(app.log().contains(QStringLiteral("no system tray")));
    // The settings window opens at launch; let it settle before clicking the tray.
    ASSERT_TRUE(app.waitForLog(QStringLiteral("Settings: window shown")));
    xdotool({QStringLiteral("mousemove"), QString::number(icon->x()), QString::number(icon->y()),
             QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(app.waitForLog(QStringLiteral("MenuBar: panel opened"), 5000)) << app.log().toStdString();
    QByteArray visible;
    EXPECT_EQ(xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--classname"),
                       QStringLiteral("bramblet")}, &visible), 0);
    app.stop();
}

TEST_F(AppE2E, without_a_tray_one_line_and_the_settings_still_open)
{
    QByteArray trays;
    if (xdotool({QStringLiteral("search"), QStringLiteral("--class"), QStringLiteral("trayer")}, &trays) == 0)
        GTEST_SKIP() << "a system tray is running on this display";
    RunningApp app;
    ASSERT_TRUE(app.start()) << app.log().toStdString();
    EXPECT_TRUE(app.waitForLog(QStringLiteral("StatusItem: no system tray")));
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Settings: window shown")));
    EXPECT_EQ(app.log().count(QStringLiteral("StatusItem: no system tray")), 1);
    EXPECT_EQ(app.runCommand({QStringLiteral("toggle")}), 0);

    // The program keeps no taskbar presence: the settings window skips taskbars and pagers.
    QByteArray ids;
    ASSERT_EQ(xdotool({QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("Réglages Bramblet")}, &ids), 0);
    const QString settingsId = QString::fromLatin1(ids).split(u'\n', Qt::SkipEmptyParts).value(0);
    QByteArray state;
    // The window manager applies the state asynchronously.
    waitUntil([&] {
        runTool(QStringLiteral("xprop"), {QStringLiteral("-id"), settingsId, QStringLiteral("_NET_WM_STATE")}, &state);
        return state.contains("_NET_WM_STATE_SKIP_TASKBAR");
    }, 5000);
    EXPECT_TRUE(state.contains("_NET_WM_STATE_SKIP_TASKBAR")) << state.toStdString();
    EXPECT_TRUE(state.contains("_NET_WM_STATE_SKIP_PAGER")) << state.toStdString();
    app.stop();
}

TEST_F(AppE2E, second_launch_and_command_line_reach_the_running_instance)
{
    RunningApp app;
    ASSERT_TRUE(app.start()) << app.log().toStdString();

    QByteArray out, err;
    EXPECT_EQ(app.runCommand({}, &out, &err), 0) << err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(out).contains(QStringLiteral("réglages"))) << out.toStdString();
    EXPECT_EQ(app.log().count(QStringLiteral("ClipboardStore init")), 1); // no second store

    const QByteArray text = "copié depuis le test e2e";
    ASSERT_EQ(runTool(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")}, nullptr, text), 0);
    ASSERT_TRUE(app.waitForLog(QStringLiteral("Store: insert item"), 5000)) << app.log().toStdString();
    // Something else takes the clipboard, then `copy 1` brings the clip back.
    ASSERT_EQ(runTool(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")}, nullptr, "autre"), 0);
    QStringList lines;
    ASSERT_TRUE(waitUntil([&] {
        out.clear();
        app.runCommand({QStringLiteral("list")}, &out);
        lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
        return lines.size() == 2;
    }, 5000)) << out.toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("autre")));
    EXPECT_TRUE(lines[1].endsWith(QString::fromUtf8(text)));

    out.clear();
    ASSERT_EQ(app.runCommand({QStringLiteral("list"), QStringLiteral("--json"), QStringLiteral("--limit"), QStringLiteral("1")}, &out), 0);
    EXPECT_TRUE(out.trimmed().startsWith('[')) << out.toStdString();
    EXPECT_TRUE(out.contains("autre"));
    EXPECT_FALSE(out.contains(text));

    err.clear();
    EXPECT_EQ(app.runCommand({QStringLiteral("copy"), QStringLiteral("2")}, nullptr, &err), 0) << err.toStdString();
    QByteArray clipboard;
    EXPECT_TRUE(waitUntil([&] {
        clipboard = clipboardText();
        return clipboard == text;
    }, 3000)) << clipboard.toStdString();
    // Not captured again: once the watcher has dropped our write, the history still holds two clips.
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Store: shouldIgnore = true (one-shot)"))) << app.log().toStdString();
    out.clear();
    ASSERT_EQ(app.runCommand({QStringLiteral("list")}, &out), 0);
    EXPECT_EQ(QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts).size(), 2) << out.toStdString();

    EXPECT_EQ(app.runCommand({QStringLiteral("copy"), QStringLiteral("9")}, nullptr, &err), 1);
    EXPECT_EQ(app.runCommand({QStringLiteral("list"), QStringLiteral("--limit"), QStringLiteral("x")}), 2);
    EXPECT_EQ(app.runCommand({QStringLiteral("toggle")}), 0);

    out.clear();
    EXPECT_EQ(app.runCommand({QStringLiteral("quit")}, &out), 0);
    EXPECT_TRUE(app.process().waitForFinished(scaledMs(5000)));
    EXPECT_EQ(app.runCommand({QStringLiteral("toggle")}, nullptr, &err), 3);
    EXPECT_TRUE(QString::fromUtf8(err).contains(QStringLiteral("pas lancé"))) << err.toStdString();
}

} // namespace
