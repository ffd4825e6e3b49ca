// The settings opener, timed with a fake clock (the re-check loop is driven
// through the privacy pane in shellviews_test).
#include <gtest/gtest.h>

#include <QObject>

#include "app/accessibilitysettingsopener.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakesettingslauncher.h"

namespace {

// Candidates are tried in order, each after the last one failed; the last is
// retried until seven attempts have failed, then the settings program opens.
TEST(AccessibilitySettingsOpenerTest, tries_the_plan_in_order_until_one_works_and_stops_with_its_context)
{
    const QList<std::pair<QStringList, QStringList>> rows = {
        {{"a"}, {"a"}}, {{"d"}, {"a", "b", "c", "d"}}, {{}, {"a", "b", "c", "d", "d", "d", "d", "app"}}};
    for (const auto &[working, tried] : rows) {
        FakeClock clock;
        FakeSettingsLauncher launcher;
        QObject context;
        AccessibilitySettingsOpener opener(launcher, clock, &context);
        launcher.working = working;
        opener.open({{{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}}, QStringList{"app"}});
        EXPECT_EQ(launcher.attempts.size(), 1) << "the next candidate waits for the clock";
        clock.advance(10);
        QStringList programs;
        for (const QStringList &c : launcher.attempts)
            programs << c.first();
        EXPECT_EQ(programs, tried);
    }

    // An unknown desktop has no plan; attempts stop with their context.
    FakeClock clock;
    FakeSettingsLauncher launcher;
    auto owner = std::make_unique<QObject>();
    AccessibilitySettingsOpener opener(launcher, clock, owner.get());
    opener.open(AccessibilitySettingsOpener::planFor(QStringLiteral("XFCE")));
    clock.advance(10);
    EXPECT_TRUE(launcher.attempts.isEmpty());
    opener.open({{{"a", "1"}, {"b", "2"}}, QStringList{"app"}});
    owner.reset();
    clock.advance(10);
    EXPECT_EQ(launcher.attempts.size(), 1);
}

} // namespace
