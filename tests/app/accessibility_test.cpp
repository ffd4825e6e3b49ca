// The re-check loop and the settings opener, timed with a fake clock.
#include <gtest/gtest.h>

#include "app/accessibilityrecheck.h"
#include "app/accessibilitysettingsopener.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakesettingslauncher.h"

namespace {

TEST(AccessibilityRecheckTest, refused_permission_polls_ten_times_over_three_point_six_seconds)
{
    FakeClock clock;
    int asked = 0;
    AccessibilityRecheck loop(clock, [&] { ++asked; return false; });
    int trustedSignals = 0;
    QObject::connect(&loop, &AccessibilityRecheck::trusted, [&] { ++trustedSignals; });
    loop.start();
    loop.start(); // while checking: ignored
    // Margins of 0.05 s keep float sums of 0.4 away from the boundaries.
    clock.advance(3.55);
    EXPECT_TRUE(loop.isChecking());
    EXPECT_EQ(asked, 9);
    clock.advance(0.1);
    EXPECT_FALSE(loop.isChecking());
    clock.advance(10);
    EXPECT_EQ(asked, 10);
    EXPECT_EQ(trustedSignals, 0);
    EXPECT_EQ(clock.pendingCount(), 0);
}

TEST(AccessibilityRecheckTest, stops_at_the_first_yes)
{
    FakeClock clock;
    int asked = 0;
    AccessibilityRecheck loop(clock, [&] { return ++asked >= 3; });
    int trustedSignals = 0;
    QObject::connect(&loop, &AccessibilityRecheck::trusted, [&] { ++trustedSignals; });
    loop.start();
    clock.advance(5);
    EXPECT_FALSE(loop.isChecking());
    EXPECT_EQ(trustedSignals, 1);
    EXPECT_EQ(asked, 3);
}

class OpenerTest : public ::testing::Test
{
protected:
    FakeClock clock;
    FakeSettingsLauncher launcher;
    QObject context;
    AccessibilitySettingsOpener opener{launcher, clock, &context};
    AccessibilitySettingsOpener::Plan plan{{{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}}, QStringList{"app"}};

    QStringList programs() const
    {
        QStringList out;
        for (const QStringList &c : launcher.attempts)
            out << c.first();
        return out;
    }
};

TEST_F(OpenerTest, first_working_candidate_stops_at_once)
{
    launcher.working = {"a"};
    opener.open(plan);
    EXPECT_EQ(programs(), QStringList{"a"});
    EXPECT_EQ(clock.pendingCount(), 0);
}

TEST_F(OpenerTest, only_the_fourth_works_after_three_failures_and_1_05_seconds)
{
    launcher.working = {"d"};
    opener.open(plan);
    clock.advance(1.0);
    EXPECT_EQ(programs(), (QStringList{"a", "b", "c"}));
    clock.advance(5);
    EXPECT_EQ(programs(), (QStringList{"a", "b", "c", "d"}));
}

TEST_F(OpenerTest, nothing_works_seven_attempts_then_the_settings_program)
{
    opener.open(plan);
    clock.advance(10);
    EXPECT_EQ(programs(), (QStringList{"a", "b", "c", "d", "d", "d", "d", "app"}));
}

TEST_F(OpenerTest, unknown_desktop_does_nothing_and_attempts_stop_with_the_context)
{
    opener.open(AccessibilitySettingsOpener::planFor(QStringLiteral("XFCE")));
    clock.advance(10);
    EXPECT_TRUE(launcher.attempts.isEmpty());

    auto owner = std::make_unique<QObject>();
    AccessibilitySettingsOpener bounded(launcher, clock, owner.get());
    bounded.open(plan);
    owner.reset();
    clock.advance(10);
    EXPECT_EQ(launcher.attempts.size(), 1);
}

} // namespace
