// The real program in a session that calls itself Wayland: without a desktop
// portal the desktop owns the shortcut and pasting is by hand; with our fake
// portal on a private session bus the shortcut is bound through
// GlobalShortcuts and its Activated signal shows the panel; the first paste
// asks the desktop through RemoteDesktop, later ones go out as its keys (the
// next run starting from the kept restore token is checked in portal_test).
#include <functional>

#include <gtest/gtest.h>

#include "platform/portal/fakeportal.h"
#include "platform/portal/privatebus.h"
#include "support/e2esteps.h"
#include "support/e2etest.h"
#include "support/patience.h"

namespace {

class PortalE2E : public E2ETest
{
protected:
    PortalE2E() : E2ETest(words(QStringLiteral("xclip xdotool"))) {}

    void SetUp() override
    {
        E2ETest::SetUp();
        if (IsSkipped())
            return;
        if (bus.address().isEmpty())
            GTEST_SKIP() << "no private D-Bus session bus: " << bus.error().toStdString();
        app.setEnv(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
        app.setEnv(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    }

    // Shows the panel with `show` and presses Return on the selected clip.
    void pasteWith(const std::function<void()> &show)
    {
        show();
        ASSERT_TRUE(waitUntil([&] { return !panelWindow(app.pid()).isEmpty(); }, 5000)) << app.log().toStdString();
        pressKeys(QStringLiteral("Return"));
    }

    // The desktop reports the shortcut pressed and released.
    void pressShortcut()
    {
        portal->sendShortcutSignal(QStringLiteral("bramblet-logo-shift-v"), true);
        portal->sendShortcutSignal(QStringLiteral("bramblet-logo-shift-v"), false);
    }

    PrivateBus bus;
    std::unique_ptr<FakePortal> portal;
};

TEST_F(PortalE2E, without_a_portal_pasting_is_by_hand_and_with_one_the_keys_go_through_it_after_one_consent)
{
    ASSERT_TRUE(launch(app));
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Platform: shortcut owned by the desktop"))) << app.log().toStdString();
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Platform: paste by hand")));
    ASSERT_TRUE(copy("alpha"));
    // The desktop's binding runs the command.
    pasteWith([&] { ASSERT_EQ(app.runCommand({QStringLiteral("toggle")}), 0); });
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Paste: input synthesis not allowed -> prompt"), 5000)) << app.log().toStdString();
    EXPECT_EQ(clipboardText(), QByteArray("alpha"));
    EXPECT_FALSE(app.log().contains(QStringLiteral("Paste: SEND")));
    app.stop();

    portal = std::make_unique<FakePortal>(bus.address());
    ASSERT_TRUE(portal->isServing());
    ASSERT_TRUE(launch(app));
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Platform: shortcut via the GlobalShortcuts portal"))) << app.log().toStdString();
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Platform: paste keys via the RemoteDesktop portal")));
    EXPECT_TRUE(app.waitForLog(QStringLiteral("HotKey: the desktop bound bramblet-logo-shift-v")));
    ASSERT_TRUE(copy("beta"));
    // No token yet: nothing is asked before the first paste.
    EXPECT_EQ(portal->record().consentDialogs, 0);

    pasteWith([&] { pressShortcut(); });
    // The first paste asks the desktop; the clip waits on the clipboard.
    ASSERT_TRUE(app.waitForLog(QStringLiteral("Paste: the desktop allows synthetic keys"), 8000))
        << app.log().toStdString();
    EXPECT_EQ(portal->record().consentDialogs, 1);
    EXPECT_EQ(clipboardText(), QByteArray("beta"));
    EXPECT_TRUE(portal->record().keys.isEmpty());

    pasteWith([&] { pressShortcut(); });
    const QList<FakePortal::Key> ctrlV{{29, 1}, {47, 1}, {47, 0}, {29, 0}};
    ASSERT_TRUE(waitUntil([&] { return portal->record().keys.size() >= ctrlV.size(); }, 8000)) << app.log().toStdString();
    EXPECT_EQ(portal->record().keys, ctrlV);
}

} // namespace
