#include <gtest/gtest.h>

#include <QTest>

#include "platform/portal/portalfixture.h"
#include "platform/portal/portalinputsynthesizer.h"

namespace {

using Key = FakePortal::Key;

// Nothing is asked at start-up without a token. A refusal in the dialog
// leaves pasting by hand and a later paste asks again; consent starts one
// persistent keyboard session (a second ask while the dialog is up adds
// none) and its token, written through to disk, restores the next run
// without a dialog. Each token restores once: the one handed back replaces
// it. A session the desktop closes is restored from the token too.
TEST_F(PortalFixture, consent_is_asked_until_given_and_its_token_restores_the_next_run)
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
        EXPECT_FALSE(portal->record().calls.contains(QStringLiteral("RemoteDesktop.CreateSession")));
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
        first->sendPasteChord(PasteChord::CtrlV);
        const QList<Key> ctrlV{{29, 1}, {47, 1}, {47, 0}, {29, 0}};
        ASSERT_TRUE(QTest::qWaitFor([&] { return portal->record().keys.size() >= ctrlV.size(); }, 5000));
        EXPECT_EQ(portal->record().keys, ctrlV);
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

    // Terminals get Ctrl+Shift+V: evdev codes pressed, then released in reverse.
    next->sendPasteChord(PasteChord::CtrlShiftV);
    const QList<Key> ctrlShiftV{{29, 1}, {42, 1}, {47, 1}, {47, 0}, {42, 0}, {29, 0}};
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal->record().keys.size() >= 4 + ctrlShiftV.size(); }, 5000));
    EXPECT_EQ(portal->record().keys.mid(4), ctrlShiftV);

    portal->closeRemoteDesktopSession();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !next->isTrusted(); }, 5000));
    // The next paste finds it untrusted and asks: the token answers, no dialog.
    next->promptForTrust();
    ASSERT_TRUE(settle(*next));
    EXPECT_TRUE(next->isTrusted());
    EXPECT_EQ(portal->record().consentDialogs, 2);
}

} // namespace
