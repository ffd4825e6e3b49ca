// The real program in a Wayland session (headless sway, our windows on
// XWayland): it picks the native services, captures what wl-copy puts on
// the clipboard, leaves its own writes out, quits cleanly, and the panel
// pastes into a native Wayland client, with Ctrl+Shift+V for a terminal.
#include <gtest/gtest.h>

#include <QJsonObject>

#include "platform/wayland/waylandactivewindow.h"
#include "platform/wayland/waylandconnection.h"
#include "support/clipsamples.h"
#include "support/e2esteps.h"
#include "support/e2etest.h"
#include "support/pastetarget.h"
#include "support/patience.h"

namespace {

class WaylandAppE2E : public E2ETest
{
protected:
    WaylandAppE2E() : E2ETest({QStringLiteral("wl-copy"), QStringLiteral("wtype"), QStringLiteral("swaymsg")}) {}

    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            GTEST_SKIP() << "no Wayland compositor (WAYLAND_DISPLAY unset; scripts/run-tests.sh starts headless sway)";
        E2ETest::SetUp();
        if (IsSkipped())
            return;
        connection = WaylandConnection::connect();
        ASSERT_TRUE(connection);
        windows = WaylandActiveWindow::create(connection);
        ASSERT_TRUE(windows) << "the compositor offers no foreign-toplevel manager";
        ASSERT_TRUE(launch(app));
        ASSERT_TRUE(app.waitForLog(QStringLiteral("Platform: clipboard=wayland (zwlr_data_control_manager_v1 offered), "
                                                  "paste keys=wayland (zwp_virtual_keyboard_manager_v1 offered), "
                                                  "window in front=wayland (zwlr_foreign_toplevel_manager_v1 offered)")))
            << app.log().toStdString();
    }

    void TearDown() override
    {
        E2ETest::TearDown();
        if (connection)
            runTool(QStringLiteral("wl-copy"), {QStringLiteral("--clear")}); // ends the wl-copy servers still running
    }

    // Copies with wl-copy and waits (1 s, scaled in slow builds) for the
    // history to hold `count` clips; the newest.
    QJsonObject copyAndWaitForClip(const QStringList &args, const QByteArray &input, int count)
    {
        EXPECT_EQ(runTool(QStringLiteral("wl-copy"), args, nullptr, input), 0);
        return newestClip(count);
    }

    bool waitForFront(const std::function<bool(const WindowRef &)> &test, int timeoutMs = 8000)
    {
        return waitUntil([&] {
            const auto front = windows->frontmost();
            return front && test(*front);
        }, timeoutMs);
    }

    std::shared_ptr<WaylandConnection> connection;
    std::unique_ptr<WaylandActiveWindow> windows;
};

TEST_F(WaylandAppE2E, each_copy_becomes_the_right_clip_our_own_write_is_not_captured_and_quit_keeps_them)
{
    QJsonObject clip = copyAndWaitForClip({QStringLiteral("Bonjour é")}, {}, 1);
    EXPECT_EQ(clip.value(QStringLiteral("kind")).toString(), QStringLiteral("text"));
    EXPECT_EQ(clip.value(QStringLiteral("preview")).toString(), QStringLiteral("Bonjour é"));

    clip = copyAndWaitForClip({QStringLiteral("-t"), QStringLiteral("image/png")}, ClipSamples::png(64, 48, Qt::darkCyan), 2);
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

    // Our own write reaches other programs and is not captured.
    QByteArray err;
    ASSERT_EQ(app.runCommand({QStringLiteral("copy"), QStringLiteral("4")}, nullptr, &err), 0) << err.toStdString();
    QByteArray pasted;
    ASSERT_TRUE(waitUntil([&] {
        runTool(QStringLiteral("wl-paste"), {QStringLiteral("-n")}, &pasted);
        return pasted == "Bonjour é";
    }, 3000)) << pasted.constData();
    QByteArray types;
    runTool(QStringLiteral("wl-paste"), {QStringLiteral("-l")}, &types);
    EXPECT_TRUE(types.contains("application/x-bramblet-own")) << types.constData();
    // Once the watcher has dropped our write, the history still holds the four clips.
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Store: shouldIgnore = true (one-shot)"))) << app.log().toStdString();

    // Quitting tears the Wayland services down and ends with status 0.
    ASSERT_EQ(app.runCommand({QStringLiteral("quit")}), 0);
    ASSERT_TRUE(app.process().waitForFinished(scaledMs(10000))) << app.log().toStdString();
    EXPECT_EQ(app.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.process().exitCode(), 0) << app.log().toStdString();
    EXPECT_EQ(readItems(app.itemsPath()).size(), 4);
}

// The paste target: a plain client, or one that plays a terminal.
class WaylandPasteE2E : public WaylandAppE2E, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(WaylandPasteE2E, the_panel_pastes_the_chosen_clip_into_a_native_client)
{
    const QString terminal = QString::fromLatin1(GetParam());
    const QString appId = terminal.isEmpty() ? QStringLiteral("bramblet_paste_target") : terminal;
    PasteTarget target(QStringLiteral(BRAMBLET_PASTE_TARGET), PasteTarget::Platform::Wayland, terminal);
    ASSERT_TRUE(target.start());
    copyAndWaitForClip({QStringLiteral("alpha")}, {}, 1);
    copyAndWaitForClip({QStringLiteral("le plus récent")}, {}, 2);
    // The program's settings window may have opened meanwhile. Asks sway
    // again until the client is in front: the client prints READY before
    // sway has mapped its window, and a focus before that does nothing.
    ASSERT_TRUE(waitUntil([&] {
        runTool(QStringLiteral("swaymsg"), {QStringLiteral("[app_id=\"%1\"] focus").arg(appId)});
        return waitForFront([&](const WindowRef &w) { return w.appId == appId; }, 200);
    }, 8000)) << "the test client is not in front";

    QByteArray err;
    ASSERT_EQ(app.runCommand({QStringLiteral("toggle")}, nullptr, &err), 0) << err.toStdString();
    ASSERT_TRUE(waitForFront([](const WindowRef &w) { return w.isOwn; }, 5000))
        << "the panel did not come to the front\n" << app.log().toStdString();
    // Both keys from one wtype keyboard: with one wtype run per key the
    // first key was now and then lost while XWayland took the new keyboard.
    runTool(QStringLiteral("wtype"), {QStringLiteral("-k"), QStringLiteral("Right"), QStringLiteral("-k"),
                                      QStringLiteral("Return")});

    const bool received = waitUntil([&] { return target.received() == QStringLiteral("alpha"); }, 5000);
    app.waitForLog(QStringLiteral("Paste: SEND"), 100); // collects the program's output so far
    ASSERT_TRUE(received) << "client received: " << target.received().toStdString() << "\n" << app.log().toStdString();
    EXPECT_TRUE(waitForFront([&](const WindowRef &w) { return w.appId == appId; }));
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Store: shouldIgnore = true (one-shot)"))) << app.log().toStdString();
    EXPECT_EQ(readItems(app.itemsPath()).size(), 2) << app.log().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Clients, WaylandPasteE2E, ::testing::Values("", "foot"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             return std::string(*info.param ? "terminal_gets_ctrl_shift_v" : "plain_client_gets_ctrl_v");
                         });

} // namespace
