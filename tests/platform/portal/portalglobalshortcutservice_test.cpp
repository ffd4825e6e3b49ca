#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "hotkey/hotkeymanager.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/keycombodto.h"
#include "hotkey/modifierflags.h"
#include "platform/portal/portalfixture.h"
#include "platform/portal/portalglobalshortcutservice.h"

namespace {

const QString kDescription = QStringLiteral("Afficher ou masquer l’historique");
const QString kDefaultId = QStringLiteral("bramblet-logo-shift-v");

// The service under the real hot-key layer, as the program wires it.
class ShortcutPortalTest : public PortalFixture
{
protected:
    void start()
    {
        service = std::make_unique<PortalGlobalShortcutService>(kDescription, address());
        // Sees every event the service dispatches, before the hot-key layer.
        service->installEventHandler(
            [this](const GlobalShortcutService::Event *event) {
                events.push_back({event->kind, event->hotKeyId.id});
                return GlobalShortcutService::kEventNotHandledErr;
            },
            nullptr);
        controller = std::make_unique<HotKeysController>(*service);
        manager = std::make_unique<HotKeyManager>(*controller, defaults, [this] { ++toggles; });
    }

    void TearDown() override
    {
        manager.reset();
        controller.reset();
        service.reset();
    }

    bool waitForEvents(size_t count)
    {
        return QTest::qWaitFor([&] { return events.size() >= count; }, 5000);
    }

    int toggles = 0;
    // (kind, hot-key id) of each dispatched event.
    std::vector<std::pair<uint32_t, uint32_t>> events;
    std::unique_ptr<PortalGlobalShortcutService> service;
    std::unique_ptr<HotKeysController> controller;
    std::unique_ptr<HotKeyManager> manager;
};

// The app id reaches the portal first; the manager registers twice at
// creation, still one session and one binding; the desktop's choice is kept,
// and followed when changed in the desktop's settings. Each press runs the
// toggle once; a recorded shortcut is bound in a new session and the old
// trigger no longer counts.
TEST_F(ShortcutPortalTest, binds_the_stored_shortcut_in_one_session_follows_the_desktop_and_rebinds)
{
    start();
    QSignalSpy finished(service.get(), &PortalGlobalShortcutService::bindingFinished);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 5000));
    FakePortal::Record record = portal->record();
    ASSERT_EQ(record.binds.size(), 1);
    ASSERT_EQ(record.binds.first().size(), 1);
    const FakePortal::Shortcut bound = record.binds.first().first();
    EXPECT_EQ(bound.id, kDefaultId);
    EXPECT_EQ(bound.preferredTrigger, QStringLiteral("LOGO+SHIFT+v"));
    EXPECT_EQ(bound.description, kDescription);
    EXPECT_EQ(record.calls.count(QStringLiteral("GlobalShortcuts.CreateSession")), 1);
    EXPECT_EQ(record.calls.first(), QStringLiteral("Registry.Register"));
    EXPECT_EQ(record.registeredAppIds, QStringList{QStringLiteral("org.bramblet.Bramblet")});
    EXPECT_EQ(service->boundTriggers().at(kDefaultId), QStringLiteral("desktop:LOGO+SHIFT+v"));

    QSignalSpy changed(service.get(), &PortalGlobalShortcutService::triggersChanged);
    portal->sendShortcutsChanged(kDefaultId, QStringLiteral("Meta+Ctrl+V"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return changed.count() == 1; }, 5000));
    EXPECT_EQ(service->boundTriggers().at(kDefaultId), QStringLiteral("Meta+Ctrl+V"));

    portal->sendShortcutSignal(kDefaultId, true);
    portal->sendShortcutSignal(kDefaultId, true); // the same press: no second key-down
    portal->sendShortcutSignal(kDefaultId, false);
    portal->sendShortcutSignal(kDefaultId, true);
    portal->sendShortcutSignal(QStringLiteral("bramblet-ctrl-q"), true); // never bound
    portal->sendShortcutSignal(kDefaultId, false);
    ASSERT_TRUE(waitForEvents(4));
    const uint32_t hotKeyId = events.front().second;
    using Service = GlobalShortcutService;
    const std::vector<std::pair<uint32_t, uint32_t>> expected{
        {Service::kHotKeyPressed, hotKeyId}, {Service::kHotKeyReleased, hotKeyId},
        {Service::kHotKeyPressed, hotKeyId}, {Service::kHotKeyReleased, hotKeyId}};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(toggles, 2);

    // Ctrl+Alt+H, as the recorder hands it over.
    events.clear();
    manager->setCombo(KeyComboDTO{4, ModifierFlags::kControl | ModifierFlags::kOption, QStringLiteral("⌥⌃H")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 2; }, 5000));
    const QString firstSession = record.shortcutSession;
    record = portal->record();
    ASSERT_EQ(record.binds.size(), 2);
    ASSERT_EQ(record.binds.last().size(), 1);
    EXPECT_EQ(record.binds.last()[0].preferredTrigger, QStringLiteral("CTRL+ALT+h"));
    EXPECT_NE(record.shortcutSession, firstSession);
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal->record().closedSessions.contains(firstSession); }, 5000));
    // The old trigger's signal comes first and must not count.
    portal->sendShortcutSignal(kDefaultId, true);
    portal->sendShortcutSignal(QStringLiteral("bramblet-ctrl-alt-h"), true);
    portal->sendShortcutSignal(QStringLiteral("bramblet-ctrl-alt-h"), false);
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(events[0].first, GlobalShortcutService::kHotKeyPressed);
    EXPECT_EQ(events[1].first, GlobalShortcutService::kHotKeyReleased);
    EXPECT_EQ(toggles, 3);
}

struct RefusalRow {
    const char *name;
    uint32_t response;
    const char *line;
};

class ShortcutRefusalTest : public ShortcutPortalTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(ShortcutRefusalTest, a_refused_binding_is_logged_and_fires_nothing)
{
    FakePortal::Answers refusing;
    refusing.bindResponse = GetParam().response;
    portal->setAnswers(refusing);
    start();
    QSignalSpy finished(service.get(), &PortalGlobalShortcutService::bindingFinished);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 5000));
    EXPECT_TRUE(service->boundTriggers().empty());
    EXPECT_TRUE(log.lines(Log::Level::Error).contains(QString::fromUtf8(GetParam().line))) << log.lines().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ShortcutRefusalTest,
    ::testing::Values(RefusalRow{"user_cancelled_the_dialog", 1,
                                 "HotKey: the desktop's shortcut dialog was cancelled; the shortcut is off"},
                      RefusalRow{"portal_failed", 2, "HotKey: the desktop did not bind the shortcut (response 2)"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ShortcutPortalTest, a_key_without_keysym_is_refused_at_once)
{
    PortalGlobalShortcutService service(kDescription, address());
    GlobalShortcutService::Registration ref = 0;
    EXPECT_EQ(service.registerHotKey(52, 0x100, {1, 1}, &ref), GlobalShortcutService::kHotKeyInvalidErr);
    EXPECT_EQ(service.registerHotKey(9, 0x300, {1, 2}, &ref), GlobalShortcutService::kNoErr);
    EXPECT_EQ(service.registerHotKey(9, 0x300, {1, 3}, &ref), GlobalShortcutService::kHotKeyExistsErr);
}

// Availability is the interface version the portal offers; a bus without
// a portal offers nothing.
TEST_F(PortalFixture, shortcut_availability_is_the_interface_version)
{
    for (const uint32_t offered : {1u, 2u, 0u}) {
        FakePortal::Answers offer;
        offer.globalShortcutsVersion = offered;
        portal->setAnswers(offer);
        const std::optional<uint32_t> version = PortalGlobalShortcutService::offeredVersion(address());
        EXPECT_EQ(version, offered ? std::optional<uint32_t>(offered) : std::nullopt) << offered;
    }
    PrivateBus bare;
    ASSERT_FALSE(bare.address().isEmpty()) << bare.error().toStdString();
    EXPECT_FALSE(PortalGlobalShortcutService::offeredVersion(bare.address()).has_value());
}

} // namespace
