// The real program in a Wayland session (headless sway, our windows on
// XWayland): it picks the native services, captures what wl-copy puts on
// the clipboard, quits cleanly, and the panel pastes into a native Wayland
// client, with Ctrl+Shift+V for a terminal, leaving its own write out.
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
    WaylandAppE2E() : E2ETest(words(QStringLiteral("wl-copy wtype swaymsg"))) {}

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
            tool(QStringLiteral("wl-copy --clear")); // ends the wl-copy servers still running
    }

    // Copies `bytes` with wl-copy as `type` (text given as its argument when
    // empty) and waits (1 s, scaled in slow builds) for the history to hold
    // `count` clips; the newest.
    QJsonObject copyAndWaitForClip(const QString &type, const QByteArray &bytes, int count)
    {
        const QStringList args = type.isEmpty() ? QStringList{QString::fromUtf8(bytes)} : QStringList{QStringLiteral("-t"), type};
        EXPECT_EQ(runTool(QStringLiteral("wl-copy"), args, nullptr, type.isEmpty() ? QByteArray() : bytes), 0);
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

TEST_F(WaylandAppE2E, each_copy_becomes_the_right_clip_and_quit_keeps_them)
{
    const QString fields = QStringLiteral("kind preview");
    EXPECT_EQ(clipFields(copyAndWaitForClip({}, "Bonjour é", 1), fields), "text | Bonjour é");
    const QJsonObject image = copyAndWaitForClip(QStringLiteral("image/png"), ClipSamples::png(64, 48, Qt::darkCyan), 2);
    EXPECT_EQ(clipFields(image, fields), "image | 📷 Image 64×48");
    const QJsonObject file = copyAndWaitForClip(QStringLiteral("text/uri-list"), "file:///etc/hostname\r\n", 3);
    EXPECT_EQ(clipFields(file, QStringLiteral("kind fileName")), "fileURL | hostname");

    // Quitting tears the Wayland services down and ends with status 0.
    ASSERT_EQ(app.runCommand({QStringLiteral("quit")}), 0);
    ASSERT_TRUE(app.process().waitForFinished(scaledMs(10000))) << app.log().toStdString();
    EXPECT_EQ(app.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.process().exitCode(), 0) << app.log().toStdString();
    EXPECT_EQ(readItems(app.itemsPath()).size(), 3);
}

// The paste target: a plain client, or one that plays a terminal.
class WaylandPasteE2E : public WaylandAppE2E, public ::testing::WithParamInterface<const char *> {};

TEST_P(WaylandPasteE2E, the_panel_pastes_the_chosen_clip_into_a_native_client)
{
    const QString terminal = QString::fromLatin1(GetParam());
    const QString appId = terminal.isEmpty() ? QStringLiteral("bramblet_paste_target") : terminal;
    PasteTarget target(QStringLiteral(BRAMBLET_PASTE_TARGET), PasteTarget::Platform::Wayland, terminal);
    ASSERT_TRUE(target.start());
    copyAndWaitForClip({}, "alpha", 1);
    copyAndWaitForClip({}, "le plus récent", 2);
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
    tool(QStringLiteral("wtype -k Right -k Return"));

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
