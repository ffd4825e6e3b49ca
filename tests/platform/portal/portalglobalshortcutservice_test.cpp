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

// The service under the real hot-key layer, as the program wires it. The app
// id reaches the portal first; the manager registers twice at creation, still
// one session and one binding. Each press runs the toggle once, repeats and
// ids never bound do not; a recorded shortcut is bound in a new session, the
// old one is closed and its trigger no longer counts.
TEST_F(PortalFixture, shortcut_is_bound_in_one_session_toggles_once_a_press_and_is_rebound_when_recorded)
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
    EXPECT_TRUE(log.contains(QStringLiteral("HotKey: the desktop bound bramblet-logo-shift-v to desktop:LOGO+SHIFT+v")));

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

} // namespace
