#include <gtest/gtest.h>

#include <QTest>

#include "platform/portal/portalfixture.h"
#include "platform/portal/portalinputsynthesizer.h"

namespace {

using Key = FakePortal::Key;

class RemoteDesktopPortalTest : public PortalFixture
{
protected:
    std::unique_ptr<PortalInputSynthesizer> make()
    {
        return std::make_unique<PortalInputSynthesizer>(defaults, [this] { ++handPastePrompts; }, address());
    }

    // Asks for the session and waits for the desktop's answer.
    static bool settle(PortalInputSynthesizer &input)
    {
        return QTest::qWaitFor([&] { return !input.isStarting(); }, 5000);
    }

    QString storedToken() const
    {
        return defaults.stringValue(PortalInputSynthesizer::kRestoreTokenKey).value_or(QString());
    }

    int handPastePrompts = 0;
};

const QList<Key> kCtrlV{{29, 1}, {47, 1}, {47, 0}, {29, 0}};

// Nothing is asked at start-up without a token; consent starts one
// persistent keyboard session (a second ask while the dialog is up adds
// none) and its token, written through to disk, restores the next run
// without a dialog. Each token restores once: the one handed back replaces
// it. A session the desktop closes is restored from the token too.
TEST_F(RemoteDesktopPortalTest, consent_is_asked_once_and_its_token_restores_the_next_run)
{
    {
        auto first = make();
        first->restore();
        EXPECT_FALSE(first->isStarting());
        EXPECT_FALSE(portal->record().calls.contains(QStringLiteral("RemoteDesktop.CreateSession")));
        first->promptForTrust();
        EXPECT_TRUE(first->isStarting());
        first->promptForTrust();
        ASSERT_TRUE(settle(*first));
        ASSERT_TRUE(first->isTrusted());
        EXPECT_EQ(portal->record().calls.count(QStringLiteral("RemoteDesktop.CreateSession")), 1);
        const QVariantMap options = portal->record().selectDevicesOptions.first();
        EXPECT_EQ(options.value(QStringLiteral("types")).toUInt(), 1u);
        EXPECT_EQ(options.value(QStringLiteral("persist_mode")).toUInt(), 2u);
        EXPECT_FALSE(options.contains(QStringLiteral("restore_token")));
        EXPECT_EQ(UserDefaults(defaults.filePath()).stringValue(PortalInputSynthesizer::kRestoreTokenKey),
                  QStringLiteral("token-1"));
    }
    auto next = make();
    next->restore();
    ASSERT_TRUE(settle(*next));
    EXPECT_TRUE(next->isTrusted());
    EXPECT_EQ(portal->record().consentDialogs, 1);
    EXPECT_EQ(handPastePrompts, 0);
    ASSERT_EQ(portal->record().selectDevicesOptions.size(), 2);
    EXPECT_EQ(portal->record().selectDevicesOptions.last().value(QStringLiteral("restore_token")).toString(),
              QStringLiteral("token-1"));
    EXPECT_EQ(storedToken(), QStringLiteral("token-2"));

    // Terminals get Ctrl+Shift+V: evdev codes pressed, then released in reverse.
    next->sendPasteChord(PasteChord::CtrlShiftV);
    const QList<Key> ctrlShiftV{{29, 1}, {42, 1}, {47, 1}, {47, 0}, {42, 0}, {29, 0}};
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal->record().keys.size() >= ctrlShiftV.size(); }, 5000));
    EXPECT_EQ(portal->record().keys, ctrlShiftV);

    portal->closeRemoteDesktopSession();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !next->isTrusted(); }, 5000));
    EXPECT_TRUE(log.contains(QStringLiteral("Paste: the desktop closed the remote desktop session")));
    // The next paste finds it untrusted and asks: the token answers, no dialog.
    next->promptForTrust();
    ASSERT_TRUE(settle(*next));
    EXPECT_TRUE(next->isTrusted());
    EXPECT_EQ(portal->record().consentDialogs, 1);
}

struct RefusalRow {
    const char *name;
    uint32_t consentResponse;
    uint32_t devicesGranted;
    const char *line;
};

class RemoteDesktopRefusalTest : public RemoteDesktopPortalTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(RemoteDesktopRefusalTest, refusal_leaves_pasting_by_hand_and_a_later_paste_asks_again)
{
    FakePortal::Answers refusing;
    refusing.consentResponse = GetParam().consentResponse;
    refusing.devicesGranted = GetParam().devicesGranted;
    portal->setAnswers(refusing);

    auto input = make();
    input->promptForTrust();
    ASSERT_TRUE(settle(*input));
    EXPECT_FALSE(input->isTrusted());
    EXPECT_EQ(handPastePrompts, 1);
    EXPECT_TRUE(log.lines(Log::Level::Error).contains(QString::fromUtf8(GetParam().line)))
        << log.lines().join('\n').toStdString();
    const QString refusedSession = portal->record().remoteDesktopSession;
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal->record().closedSessions.contains(refusedSession); }, 5000));

    portal->setAnswers(FakePortal::Answers());
    input->promptForTrust();
    ASSERT_TRUE(settle(*input));
    EXPECT_TRUE(input->isTrusted());
    EXPECT_EQ(portal->record().consentDialogs, 2);
    EXPECT_EQ(handPastePrompts, 1);
    input->sendPasteChord(PasteChord::CtrlV);
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal->record().keys.size() >= kCtrlV.size(); }, 5000));
    EXPECT_EQ(portal->record().keys, kCtrlV);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RemoteDesktopRefusalTest,
    ::testing::Values(
        RefusalRow{"user_refused_the_dialog", 1, 1, "Paste: the user refused synthetic keys in the desktop's dialog"},
        RefusalRow{"portal_failed", 2, 1, "Paste: the desktop did not start the remote desktop session (response 2)"},
        RefusalRow{"granted_without_keyboard", 0, 2, "Paste: the desktop started the session without the keyboard"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(RemoteDesktopPortalTest, a_version_1_portal_is_asked_without_persistence)
{
    FakePortal::Answers old;
    old.remoteDesktopVersion = 1;
    portal->setAnswers(old);
    defaults.setString(PortalInputSynthesizer::kRestoreTokenKey, QStringLiteral("token-from-elsewhere"));
    auto input = make();
    input->promptForTrust();
    ASSERT_TRUE(settle(*input));
    EXPECT_TRUE(input->isTrusted());
    ASSERT_EQ(portal->record().selectDevicesOptions.size(), 1);
    EXPECT_FALSE(portal->record().selectDevicesOptions.first().contains(QStringLiteral("persist_mode")));
    EXPECT_FALSE(portal->record().selectDevicesOptions.first().contains(QStringLiteral("restore_token")));
}

} // namespace
