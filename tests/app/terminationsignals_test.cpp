#include <csignal>

#include <gtest/gtest.h>

#include <QList>
#include <QTest>

#include "app/terminationsignals.h"

namespace {

struct SignalRow
{
    const char *name;
    int signalNumber;
};

class TerminationSignalsTest : public ::testing::TestWithParam<SignalRow>
{
};

struct sigaction currentAction(int signalNumber)
{
    struct sigaction action = {};
    ::sigaction(signalNumber, nullptr, &action);
    return action;
}

TEST_P(TerminationSignalsTest, arrives_once_in_the_event_loop_and_destruction_puts_the_default_back)
{
    QList<int> received;
    {
        TerminationSignals signalsWatch([&received](int signalNumber) { received << signalNumber; });
        ASSERT_TRUE(signalsWatch.isActive());
        ASSERT_EQ(::raise(GetParam().signalNumber), 0); // would end the test process without the handler
        EXPECT_TRUE(received.isEmpty()); // nothing ran inside the signal handler
        ASSERT_TRUE(QTest::qWaitFor([&] { return !received.isEmpty(); }, 2000));
        EXPECT_EQ(received, QList<int>{GetParam().signalNumber});
        EXPECT_EQ(TerminationSignals::nameOf(GetParam().signalNumber), QString::fromLatin1(GetParam().name));
    }
    EXPECT_EQ(currentAction(GetParam().signalNumber).sa_handler, SIG_DFL);
}

INSTANTIATE_TEST_SUITE_P(QuitSignals, TerminationSignalsTest,
                         ::testing::Values(SignalRow{"SIGTERM", SIGTERM}, SignalRow{"SIGINT", SIGINT},
                                           SignalRow{"SIGHUP", SIGHUP}),
                         [](const ::testing::TestParamInfo<SignalRow> &info) { return std::string(info.param.name); });

TEST(TerminationSignalsBurst, signals_in_a_row_each_reach_the_handler)
{
    QList<int> received;
    TerminationSignals signalsWatch([&received](int signalNumber) { received << signalNumber; });
    ::raise(SIGTERM);
    ::raise(SIGINT);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 2; }, 2000));
    EXPECT_EQ(received, (QList<int>{SIGTERM, SIGINT}));
}

} // namespace
