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

// Candidates are tried in order, each after the last one failed; the last is
// retried until seven attempts have failed, then the settings program opens.
struct PlanRow
{
    const char *name;
    QStringList working;
    QStringList tried;
};

class OpenerPlan : public OpenerTest, public ::testing::WithParamInterface<PlanRow>
{
};

TEST_P(OpenerPlan, triesUntilOneWorks)
{
    launcher.working = GetParam().working;
    opener.open(plan);
    EXPECT_EQ(launcher.attempts.size(), 1) << "the next candidate waits for the clock";
    clock.advance(10);
    EXPECT_EQ(programs(), GetParam().tried);
    EXPECT_EQ(clock.pendingCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Plans, OpenerPlan,
    ::testing::Values(PlanRow{"first_works", {"a"}, {"a"}}, PlanRow{"fourth_works", {"d"}, {"a", "b", "c", "d"}},
                      PlanRow{"none_works", {}, {"a", "b", "c", "d", "d", "d", "d", "app"}}),
    [](const auto &info) { return std::string(info.param.name); });

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
