// The re-check loop and the settings opener, timed with a fake clock.
#include <gtest/gtest.h>

#include "app/accessibilityrecheck.h"
#include "app/accessibilitysettingsopener.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakesettingslauncher.h"

namespace {

// A refused permission is asked ten times over 3.6 s; a yes stops the loop.
TEST(AccessibilityRecheckTest, polls_ten_times_over_three_point_six_seconds_or_until_the_first_yes)
{
    for (const int yesAt : {0, 3}) {
        FakeClock clock;
        int asked = 0, trusted = 0;
        AccessibilityRecheck loop(clock, [&] { return ++asked == yesAt; });
        QObject::connect(&loop, &AccessibilityRecheck::trusted, [&] { ++trusted; });
        loop.start();
        loop.start(); // while checking: ignored
        // Margins of 0.05 s keep float sums of 0.4 away from the boundaries.
        clock.advance(3.55);
        EXPECT_EQ(loop.isChecking(), yesAt == 0);
        clock.advance(10);
        EXPECT_FALSE(loop.isChecking());
        EXPECT_EQ(asked, yesAt ? yesAt : 10);
        EXPECT_EQ(trusted, yesAt ? 1 : 0);
        EXPECT_EQ(clock.pendingCount(), 0);
    }
}

// Candidates are tried in order, each after the last one failed; the last is
// retried until seven attempts have failed, then the settings program opens.
TEST(AccessibilitySettingsOpenerTest, tries_the_plan_in_order_until_one_works)
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
}

TEST(AccessibilitySettingsOpenerTest, unknown_desktop_does_nothing_and_attempts_stop_with_the_context)
{
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
