// Lines reach the capturing sink unchanged, with their level, and the normal
// output comes back once the sink is removed.
#include <gtest/gtest.h>

#include "platform/logger.h"
#include "support/logcapture.h"

namespace {

TEST(Logger, SinkReceivesExactLinesAndLevelsUntilItsScopeEnds)
{
    {
        LogCapture capture;
        Log::debug(QStringLiteral("Watcher.tick() changeCount 1 → 2"));
        Log::error(QStringLiteral("Store: bumpToTop - item not found: X"));
        EXPECT_EQ(capture.lines(), (QStringList{QStringLiteral("Watcher.tick() changeCount 1 → 2"),
                                                QStringLiteral("Store: bumpToTop - item not found: X")}));
        EXPECT_EQ(capture.lines(Log::Level::Error).size(), 1);
    }
    // Without a sink the line goes to the journal/stderr; it must not crash.
    Log::info(QStringLiteral("outside"));
    EXPECT_EQ(Log::shortId(QStringLiteral("0123ABCD-0000-0000-0000-000000000000")), QStringLiteral("0123ABCD"));
}

} // namespace
