// The desktop portal clients against our fake portal on a private session
// bus; tests skip (with the reason) only when dbus-daemon cannot start.
#include <memory>

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "hotkey/hotkeymanager.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/keycombodto.h"
#include "hotkey/modifierflags.h"
#include "platform/portal/fakeportal.h"
#include "platform/portal/portalglobalshortcutservice.h"
#include "platform/portal/portalinputsynthesizer.h"
#include "platform/portal/privatebus.h"
#include "platform/userdefaults.h"
#include "support/logcapture.h"

namespace {

class PortalTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (bus.address().isEmpty())
            GTEST_SKIP() << "no private D-Bus session bus: " << bus.error().toStdString();
        portal = std::make_unique<FakePortal>(bus.address());
        ASSERT_TRUE(portal->isServing());
    }

    PrivateBus bus;
    QTemporaryDir tmp;
    UserDefaults defaults{tmp.filePath(QStringLiteral("defaults.conf"))};
    LogCapture log;
    std::unique_ptr<FakePortal> portal;
};

// The service under the real hot-key layer, as the program wires it. The app
// id reaches the portal first; the manager registers twice at creation, still
// one session and one binding. Each press runs the toggle once, repeats and
// ids never bound do not; a recorded shortcut is bound in a new session, the
// old one is closed and its trigger no longer counts.
TEST_F(PortalTest, shortcut_is_bound_in_one_session_toggles_once_a_press_and_is_rebound_when_recorded)
{
    const QString description = QStringLiteral("Afficher ou masquer l’historique");
    const QString defaultId = QStringLiteral("bramblet-logo-shift-v");
    PortalGlobalShortcutService service(description, bus.address());
    HotKeysController controller(service);
    int toggles = 0;
    HotKeyManager manager(controller, defaults, [&] { ++toggles; });
    QSignalSpy finished(&service, &PortalGlobalShortcutService::bindingFinished);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 5000));
    FakePortal::Record record = portal->record();
    ASSERT_EQ(record.binds.size(), 1);
    ASSERT_EQ(record.binds.first().size(), 1);
    const FakePortal::Shortcut bound = record.binds.first().first();
    EXPECT_EQ(bound.id, defaultId);
    EXPECT_EQ(bound.preferredTrigger, QStringLiteral("LOGO+SHIFT+v"));
    EXPECT_EQ(bound.description, description);
    EXPECT_EQ(record.calls.count(QStringLiteral("GlobalShortcuts.CreateSession")), 1);
    EXPECT_EQ(record.calls.first(), QStringLiteral("Registry.Register"));

    portal->sendShortcutSignal(defaultId, true);
    portal->sendShortcutSignal(defaultId, true); // the same press: no second toggle
    portal->sendShortcutSignal(QStringLiteral("bramblet-ctrl-q"), true); // never bound
    portal->sendShortcutSignal(defaultId, false);
    portal->sendShortcutSignal(defaultId, true);
    portal->sendShortcutSignal(defaultId, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return toggles == 2; }, 5000));

    // Ctrl+Alt+H, as the recorder hands it over.
    manager.setCombo(KeyComboDTO{4, ModifierFlags::kControl | ModifierFlags::kOption, QStringLiteral("⌥⌃H")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 2; }, 5000));
    const QString firstSession = record.shortcutSession;
    record = portal->record();
    ASSERT_EQ(record.binds.size(), 2);
    ASSERT_EQ(record.binds.last().size(), 1);
    EXPECT_EQ(record.binds.last()[0].preferredTrigger, QStringLiteral("CTRL+ALT+h"));
    EXPECT_NE(record.shortcutSession, firstSession);
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal->record().closedSessions.contains(firstSession); }, 5000));
    // The old trigger's signal comes first; once the new one has toggled, both were seen.
    portal->sendShortcutSignal(defaultId, true);
    portal->sendShortcutSignal(QStringLiteral("bramblet-ctrl-alt-h"), true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return toggles >= 3; }, 5000));
    EXPECT_EQ(toggles, 3);
}


// Nothing is asked at start-up without a token. A refusal in the dialog
// leaves pasting by hand and a later paste asks again; consent starts one
// persistent keyboard session (a second ask while the dialog is up adds
// none) and its token, written through to disk, restores the next run
// without a dialog. Each token restores once: the one handed back replaces
// it. A session the desktop closes is restored from the token too.
TEST_F(PortalTest, consent_is_asked_until_given_and_its_token_restores_the_next_run)
{
    int handPastePrompts = 0;
    auto make = [&] {
        return std::make_unique<PortalInputSynthesizer>(defaults, [&] { ++handPastePrompts; }, bus.address());
    };
    auto settle = [](PortalInputSynthesizer &input) {
        return QTest::qWaitFor([&] { return !input.isStarting(); }, 5000);
    };
    {
        auto first = make();
        first->restore();
        EXPECT_FALSE(first->isStarting());
        portal->setConsentResponse(1);
        first->promptForTrust();
        ASSERT_TRUE(settle(*first));
        EXPECT_FALSE(first->isTrusted());
        EXPECT_EQ(handPastePrompts, 1);
        EXPECT_TRUE(log.contains(QStringLiteral("Paste: the user refused synthetic keys in the desktop's dialog")));
        const QString refused = portal->record().remoteDesktopSession;
        ASSERT_TRUE(QTest::qWaitFor([&] { return portal->record().closedSessions.contains(refused); }, 5000));

        portal->setConsentResponse(0);
        first->promptForTrust();
        EXPECT_TRUE(first->isStarting());
        first->promptForTrust();
        ASSERT_TRUE(settle(*first));
        ASSERT_TRUE(first->isTrusted());
        EXPECT_EQ(portal->record().calls.count(QStringLiteral("RemoteDesktop.CreateSession")), 2);
        EXPECT_EQ(portal->record().consentDialogs, 2);
        const QVariantMap options = portal->record().selectDevicesOptions.last();
        EXPECT_EQ(options.value(QStringLiteral("types")).toUInt(), 1u);
        EXPECT_EQ(options.value(QStringLiteral("persist_mode")).toUInt(), 2u);
        EXPECT_EQ(UserDefaults(defaults.filePath()).stringValue(PortalInputSynthesizer::kRestoreTokenKey),
                  QStringLiteral("token-1"));
    }
    auto next = make();
    next->restore();
    ASSERT_TRUE(settle(*next));
    EXPECT_TRUE(next->isTrusted());
    EXPECT_EQ(portal->record().consentDialogs, 2);
    EXPECT_EQ(handPastePrompts, 1);
    EXPECT_EQ(portal->record().selectDevicesOptions.last().value(QStringLiteral("restore_token")).toString(),
              QStringLiteral("token-1"));
    EXPECT_EQ(defaults.stringValue(PortalInputSynthesizer::kRestoreTokenKey), QStringLiteral("token-2"));

    // Terminals get Ctrl+Shift+V (others Ctrl+V, as the portal end-to-end test
    // shows): evdev codes pressed, then released in reverse.
    next->sendPasteChord(PasteChord::CtrlShiftV);
    const QList<FakePortal::Key> ctrlShiftV{{29, 1}, {42, 1}, {47, 1}, {47, 0}, {42, 0}, {29, 0}};
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal->record().keys.size() >= ctrlShiftV.size(); }, 5000));
    EXPECT_EQ(portal->record().keys, ctrlShiftV);

    portal->closeRemoteDesktopSession();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !next->isTrusted(); }, 5000));
    // The next paste finds it untrusted and asks: the token answers, no dialog.
    next->promptForTrust();
    ASSERT_TRUE(settle(*next));
    EXPECT_TRUE(next->isTrusted());
    EXPECT_EQ(portal->record().consentDialogs, 2);
}

} // namespace
