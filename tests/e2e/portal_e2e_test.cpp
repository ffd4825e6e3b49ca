// The real program in a session that calls itself Wayland, with our fake
// desktop portal on a private session bus: the shortcut is bound through
// GlobalShortcuts and its Activated signal shows the panel; the first paste
// asks the desktop through RemoteDesktop, later ones go out as its keys, and
// the next run starts from the kept restore token without a dialog.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTest>

#include "platform/portal/fakeportal.h"
#include "platform/portal/privatebus.h"
#include "support/e2esteps.h"
#include "support/patience.h"
#include "support/runningapp.h"

namespace {

// Sets environment variables for the programs the test starts; puts the old
// values back when it goes.
class EnvironmentOverride final
{
public:
    void set(const char *name, const QByteArray &value)
    {
        m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv(name, value);
    }
    ~EnvironmentOverride()
    {
        for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
            if (it->wasSet)
                qputenv(it->name, it->value);
            else
                qunsetenv(it->name);
        }
    }

private:
    struct Saved {
        const char *name;
        QByteArray value;
        bool wasSet;
    };
    QList<Saved> m_saved;
};

const QString kShortcutId = QStringLiteral("bramblet-logo-shift-v");

class PortalE2E : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString reason = RunningApp::unavailableReason();
        if (reason.isEmpty())
            reason = missingProgram({QStringLiteral("xclip"), QStringLiteral("xdotool")});
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        bus = std::make_unique<PrivateBus>();
        if (bus->address().isEmpty())
            GTEST_SKIP() << "no private D-Bus session bus: " << bus->error().toStdString();
        env.set("DBUS_SESSION_BUS_ADDRESS", bus->address().toUtf8());
        env.set("XDG_SESSION_TYPE", "wayland");
    }

    void startPortal(const FakePortal::Answers &answers)
    {
        portal = std::make_unique<FakePortal>(bus->address(), answers);
        ASSERT_TRUE(portal->isServing());
    }

    // A visible window of the program 330 px tall: the panel.
    static bool panelShown(const RunningApp &app)
    {
        QByteArray ids;
        xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                 QString::number(app.pid()), QStringLiteral("--name"), QStringLiteral("^Bramblet$")}, &ids);
        for (const QByteArray &id : ids.split('\n')) {
            if (id.trimmed().isEmpty())
                continue;
            QByteArray out;
            xdotool({QStringLiteral("getwindowgeometry"), QString::fromLatin1(id.trimmed())}, &out);
            if (QString::fromUtf8(out).contains(QRegularExpression(QStringLiteral("Geometry: \\d+x330\\b"))))
                return true;
        }
        return false;
    }

    // The desktop reports the shortcut pressed and released.
    void pressShortcut()
    {
        portal->sendShortcutSignal(kShortcutId, true);
        portal->sendShortcutSignal(kShortcutId, false);
    }

    EnvironmentOverride env;
    std::unique_ptr<PrivateBus> bus;
    std::unique_ptr<FakePortal> portal;
};

TEST_F(PortalE2E, shortcut_and_paste_keys_go_through_the_portal_and_consent_is_asked_once)
{
    startPortal(FakePortal::Answers());
    RunningApp app;
    ASSERT_TRUE(app.start()) << app.log().toStdString();
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Platform: shortcut via the GlobalShortcuts portal"))) << app.log().toStdString();
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Platform: paste keys via the RemoteDesktop portal")));
    ASSERT_TRUE(waitUntil([&] { return !portal->binds().isEmpty(); }, 5000)) << app.log().toStdString();
    ASSERT_EQ(portal->binds().first().size(), 1);
    EXPECT_EQ(portal->binds().first().first().preferredTrigger, QStringLiteral("LOGO+SHIFT+v"));
    EXPECT_TRUE(app.waitForLog(QStringLiteral("HotKey: the desktop bound bramblet-logo-shift-v")));

    ASSERT_EQ(copyWithXclip("alpha"), 0);
    ASSERT_TRUE(app.waitForLog(QStringLiteral("Store: insert item")));
    // No token yet: nothing is asked before the first paste.
    EXPECT_EQ(portal->consentDialogs(), 0);

    pressShortcut();
    ASSERT_TRUE(waitUntil([&] { return panelShown(app); }, 5000)) << app.log().toStdString();
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    // The first paste asks the desktop; the clip waits on the clipboard.
    ASSERT_TRUE(app.waitForLog(QStringLiteral("Paste: the desktop allows synthetic keys"), 8000))
        << app.log().toStdString();
    EXPECT_EQ(portal->consentDialogs(), 1);
    EXPECT_EQ(clipboardText(), QByteArray("alpha"));
    EXPECT_TRUE(portal->keys().isEmpty());

    pressShortcut();
    ASSERT_TRUE(waitUntil([&] { return panelShown(app); }, 5000)) << app.log().toStdString();
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    const QList<FakePortal::Key> ctrlV{{29, 1}, {47, 1}, {47, 0}, {29, 0}};
    ASSERT_TRUE(waitUntil([&] { return portal->keys().size() >= ctrlV.size(); }, 8000))
        << app.log().toStdString();
    EXPECT_EQ(portal->keys(), ctrlV);
    app.stop();

    // The next run restores the session from the kept token: no second dialog.
    RunningApp next(app.root());
    ASSERT_TRUE(next.start()) << next.log().toStdString();
    EXPECT_TRUE(next.waitForLog(QStringLiteral("Paste: the desktop allows synthetic keys"), 8000))
        << next.log().toStdString();
    EXPECT_EQ(portal->consentDialogs(), 1);
    next.stop();
}

TEST_F(PortalE2E, without_a_portal_the_desktop_owns_the_shortcut_and_pasting_is_by_hand)
{
    RunningApp app;
    ASSERT_TRUE(app.start()) << app.log().toStdString();
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Platform: shortcut owned by the desktop"))) << app.log().toStdString();
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Platform: paste by hand")));

    ASSERT_EQ(copyWithXclip("alpha"), 0);
    ASSERT_TRUE(app.waitForLog(QStringLiteral("Store: insert item")));
    // The desktop's binding runs the command.
    ASSERT_EQ(app.runCommand({QStringLiteral("toggle")}), 0);
    ASSERT_TRUE(waitUntil([&] { return panelShown(app); }, 5000)) << app.log().toStdString();
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Paste: input synthesis not allowed -> prompt"), 5000)) << app.log().toStdString();
    EXPECT_EQ(clipboardText(), QByteArray("alpha"));
    EXPECT_FALSE(app.log().contains(QStringLiteral("Paste: SEND")));
    app.stop();
}

} // namespace
