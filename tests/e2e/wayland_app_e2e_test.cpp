// The real program in a Wayland session (headless sway, our windows on
// XWayland): it picks the native services, captures what wl-copy puts on
// the clipboard, leaves its own writes out, and the panel pastes into a
// native Wayland client, with Ctrl+Shift+V for a terminal.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/wayland/waylandactivewindow.h"
#include "platform/wayland/waylandconnection.h"
#include "support/e2esteps.h"
#include "support/patience.h"
#include "support/runningapp.h"
#include "support/waylandtarget.h"

namespace {

class WaylandAppE2E : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString reason = qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                             ? QStringLiteral("no Wayland compositor (WAYLAND_DISPLAY unset; scripts/run-tests.sh "
                                              "starts headless sway)")
                             : RunningApp::unavailableReason();
        if (reason.isEmpty())
            reason = missingProgram({QStringLiteral("wl-copy"), QStringLiteral("wtype"), QStringLiteral("swaymsg")});
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        connection = WaylandConnection::connect();
        ASSERT_TRUE(connection);
        windows = WaylandActiveWindow::create(connection);
        ASSERT_TRUE(windows) << "the compositor offers no foreign-toplevel manager";
        ASSERT_TRUE(app.start()) << app.log().toStdString();
        ASSERT_TRUE(app.waitForLog(QStringLiteral("ClipboardWatcher start()")));
        ASSERT_TRUE(app.waitForLog(QStringLiteral("Platform: clipboard=wayland (zwlr_data_control_manager_v1 offered), "
                                                  "paste keys=wayland (zwp_virtual_keyboard_manager_v1 offered), "
                                                  "window in front=wayland (zwlr_foreign_toplevel_manager_v1 offered)")))
            << app.log().toStdString();
    }

    void TearDown() override
    {
        app.stop();
        if (connection)
            wlCopy({QStringLiteral("--clear")});
        windows.reset();
        connection.reset();
    }

    QJsonObject copyAndWaitForClip(const QStringList &args, const QByteArray &input, int count)
    {
        EXPECT_EQ(wlCopy(args, input), 0);
        const bool arrived = waitUntil([&] { return readItems(app.itemsPath()).size() >= count; }, 1000);
        EXPECT_TRUE(arrived) << "no clip " << count << " within a second\n" << app.log().toStdString();
        const QJsonArray items = readItems(app.itemsPath());
        return items.isEmpty() ? QJsonObject() : items.first().toObject();
    }

    bool waitForFront(const std::function<bool(const WindowRef &)> &test, int timeoutMs = 8000)
    {
        return waitUntil([&] {
            const auto front = windows->frontmost();
            return front && test(*front);
        }, timeoutMs);
    }

    // Asks sway again until the window is in front: the client prints READY
    // before sway has mapped its window, and a focus before that does nothing.
    bool focus(const QString &appId)
    {
        return waitUntil([&] {
            runTool(QStringLiteral("swaymsg"), {QStringLiteral("[app_id=\"%1\"] focus").arg(appId)});
            return waitForFront([&](const WindowRef &w) { return w.appId == appId; }, 200);
        }, 8000);
    }

    void pasteOlderClipInto(WaylandTarget &target, const QString &appId)
    {
        ASSERT_TRUE(target.waitReady());
        copyAndWaitForClip({QStringLiteral("alpha")}, {}, 1);
        copyAndWaitForClip({QStringLiteral("le plus récent")}, {}, 2);
        // The program's settings window may have opened meanwhile.
        ASSERT_TRUE(focus(appId)) << "the test client is not in front";

        QByteArray err;
        ASSERT_EQ(app.runCommand({QStringLiteral("toggle")}, nullptr, &err), 0) << err.toStdString();
        ASSERT_TRUE(waitForFront([](const WindowRef &w) { return w.isOwn; }, 5000))
            << "the panel did not come to the front\n" << app.log().toStdString();
        // Both keys from one wtype keyboard: with one wtype run per key the
        // first key was now and then lost while XWayland took the new keyboard.
        runTool(QStringLiteral("wtype"), {QStringLiteral("-k"), QStringLiteral("Right"), QStringLiteral("-k"),
                                          QStringLiteral("Return")});
    }

    std::shared_ptr<WaylandConnection> connection;
    std::unique_ptr<WaylandActiveWindow> windows;
    RunningApp app;
};

TEST_F(WaylandAppE2E, each_copy_from_wl_copy_becomes_the_right_clip_within_a_second)
{
    QJsonObject clip = copyAndWaitForClip({QStringLiteral("Bonjour é")}, {}, 1);
    EXPECT_EQ(clip.value(QStringLiteral("kind")).toString(), QStringLiteral("text"));
    EXPECT_EQ(clip.value(QStringLiteral("preview")).toString(), QStringLiteral("Bonjour é"));

    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    clip = copyAndWaitForClip({QStringLiteral("-t"), QStringLiteral("image/png")}, png, 2);
    EXPECT_EQ(clip.value(QStringLiteral("kind")).toString(), QStringLiteral("image"));
    EXPECT_EQ(clip.value(QStringLiteral("preview")).toString(), QStringLiteral("📷 Image 64×48"));

    clip = copyAndWaitForClip({QStringLiteral("-t"), QStringLiteral("text/uri-list")},
                              QByteArray("file:///etc/hostname\r\n"), 3);
    EXPECT_EQ(clip.value(QStringLiteral("kind")).toString(), QStringLiteral("fileURL"));
    EXPECT_EQ(clip.value(QStringLiteral("fileName")).toString(), QStringLiteral("hostname"));

    clip = copyAndWaitForClip({QStringLiteral("-t"), QStringLiteral("text/uri-list")},
                              QByteArray("https://www.debian.org/\r\n"), 4);
    EXPECT_EQ(clip.value(QStringLiteral("kind")).toString(), QStringLiteral("url"));
    EXPECT_EQ(clip.value(QStringLiteral("preview")).toString(), QStringLiteral("https://www.debian.org/"));
}

TEST_F(WaylandAppE2E, our_own_write_reaches_other_programs_and_is_not_captured)
{
    copyAndWaitForClip({QStringLiteral("première")}, {}, 1);
    copyAndWaitForClip({QStringLiteral("seconde")}, {}, 2);
    QByteArray err;
    ASSERT_EQ(app.runCommand({QStringLiteral("copy"), QStringLiteral("2")}, nullptr, &err), 0) << err.toStdString();
    QByteArray pasted;
    ASSERT_TRUE(waitUntil([&] {
        runTool(QStringLiteral("wl-paste"), {QStringLiteral("-n")}, &pasted);
        return pasted == "première";
    }, 3000)) << pasted.constData();
    QByteArray types;
    runTool(QStringLiteral("wl-paste"), {QStringLiteral("-l")}, &types);
    EXPECT_TRUE(types.contains("application/x-bramblet-own")) << types.constData();
    // Once the watcher has dropped our write, the history still holds the two clips.
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Store: shouldIgnore = true (one-shot)"))) << app.log().toStdString();
    EXPECT_EQ(readItems(app.itemsPath()).size(), 2) << app.log().toStdString();
}

TEST_F(WaylandAppE2E, quit_tears_the_wayland_services_down_and_exits_cleanly)
{
    copyAndWaitForClip({QStringLiteral("gardé")}, {}, 1);
    ASSERT_EQ(app.runCommand({QStringLiteral("quit")}), 0);
    ASSERT_TRUE(app.process().waitForFinished(scaledMs(10000))) << app.log().toStdString();
    EXPECT_EQ(app.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.process().exitCode(), 0) << app.log().toStdString();
    EXPECT_EQ(readItems(app.itemsPath()).size(), 1);
}

TEST_F(WaylandAppE2E, the_panel_pastes_the_chosen_clip_into_a_native_client)
{
    WaylandTarget target(QStringLiteral(BRAMBLET_PASTE_TARGET));
    pasteOlderClipInto(target, QStringLiteral("bramblet_paste_target"));
    if (HasFatalFailure())
        return;
    const bool received = waitUntil([&] { return target.received() == QStringLiteral("alpha"); }, 5000);
    app.waitForLog(QStringLiteral("Paste: SEND"), 100); // collects the program's output so far
    ASSERT_TRUE(received) << "client received: " << target.received().toStdString() << "\n" << app.log().toStdString();
    EXPECT_TRUE(waitForFront([](const WindowRef &w) { return w.appId == QStringLiteral("bramblet_paste_target"); }));
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Store: shouldIgnore = true (one-shot)"))) << app.log().toStdString();
    EXPECT_EQ(readItems(app.itemsPath()).size(), 2) << app.log().toStdString();
}

TEST_F(WaylandAppE2E, a_terminal_client_gets_ctrl_shift_v)
{
    WaylandTarget terminal(QStringLiteral(BRAMBLET_PASTE_TARGET), QStringLiteral("foot"));
    pasteOlderClipInto(terminal, QStringLiteral("foot"));
    if (HasFatalFailure())
        return;
    const bool received = waitUntil([&] { return terminal.received() == QStringLiteral("alpha"); }, 5000);
    app.waitForLog(QStringLiteral("Paste: SEND"), 100);
    ASSERT_TRUE(received) << "terminal received: " << terminal.received().toStdString() << "\n"
                          << app.log().toStdString();
}

} // namespace
