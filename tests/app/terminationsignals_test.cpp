#include <csignal>

#include <gtest/gtest.h>

#include <QList>
#include <QTest>

#include "app/terminationsignals.h"

namespace {

// Each quit signal arrives once, in the event loop rather than inside the
// handler; signals in a row each arrive; the default action comes back after.
TEST(TerminationSignalsTest, arrive_in_the_event_loop_and_destruction_puts_the_defaults_back)
{
    const QList<int> quitSignals = {SIGTERM, SIGINT, SIGHUP};
    QList<int> received;
    {
        TerminationSignals watch([&received](int signalNumber) { received << signalNumber; });
        ASSERT_TRUE(watch.isActive());
        for (int signalNumber : quitSignals)
            ASSERT_EQ(::raise(signalNumber), 0); // would end the test process without the handler
        EXPECT_TRUE(received.isEmpty());
        ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 3; }, 2000));
        EXPECT_EQ(received, quitSignals);
        EXPECT_EQ(TerminationSignals::nameOf(SIGHUP), QStringLiteral("SIGHUP"));
    }
    for (int signalNumber : quitSignals) {
        struct sigaction action = {};
        ::sigaction(signalNumber, nullptr, &action);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << signalNumber;
    }
}

} // namespace
