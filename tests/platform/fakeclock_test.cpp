// The fake clock is what every timing test stands on: order, repetition,
// cancellation and the death of a context must behave like real timers.
#include <gtest/gtest.h>

#include <QObject>
#include <QStringList>

#include "platform/fake/fakeclock.h"

namespace {

TEST(FakeClock, RunsDueCallsInTimeOrderWithTiesInScheduleOrder)
{
    FakeClock clock(100);
    QObject ctx;
    QStringList order;
    clock.schedule(0.2, &ctx, [&] { order << QStringLiteral("b"); });
    clock.schedule(0.1, &ctx, [&] { order << QStringLiteral("a"); });
    clock.schedule(0.2, &ctx, [&] { order << QStringLiteral("c"); });
    clock.advance(0.15);
    EXPECT_EQ(order, QStringList{QStringLiteral("a")});
    clock.advance(0.05);
    EXPECT_EQ(order, (QStringList{"a", "b", "c"}));
    EXPECT_DOUBLE_EQ(clock.now(), 100.2);
}

TEST(FakeClock, RepeatingCancelledAndOrphanedCalls)
{
    FakeClock clock(0);
    int ticks = 0, cancelled = 0, orphaned = 0;
    QObject ctx;
    const auto id = clock.schedule(0.5, &ctx, [&] { ++ticks; }, true);
    const auto gone = clock.schedule(0.1, &ctx, [&] { ++cancelled; });
    clock.cancel(gone);
    {
        QObject shortLived;
        clock.schedule(0.1, &shortLived, [&] { ++orphaned; });
    }
    clock.advance(2.0);
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(cancelled, 0);
    EXPECT_EQ(orphaned, 0);
    clock.cancel(id);
    clock.advance(2.0);
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(clock.pendingCount(), 0);
}

} // namespace
