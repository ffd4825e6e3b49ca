// The single-instance lock and the local socket, with real sockets in a
// temporary folder. The client blocks, so it runs on a worker thread while
// the main thread's event loop serves.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>

#include "app/instancechannel.h"

namespace {

class ChannelTest : public ::testing::Test
{
protected:
    QString socketPath() const { return dir.path() + QStringLiteral("/test.socket"); }
    QString lockPath() const { return dir.path() + QStringLiteral("/data/instance.lock"); }

    std::optional<QJsonObject> sendFromWorker(const QJsonObject &request, int timeoutMs)
    {
        QFuture<std::optional<QJsonObject>> f = QtConcurrent::run(
            [path = socketPath(), request, timeoutMs] { return InstanceChannel::send(path, request, timeoutMs); });
        EXPECT_TRUE(QTest::qWaitFor([&f] { return f.isFinished(); }, timeoutMs + 2000));
        return f.result();
    }

    QTemporaryDir dir;
};

TEST_F(ChannelTest, one_holder_of_the_lock_until_it_goes_and_a_dead_holder_is_taken_over)
{
    {
        InstanceChannel first(socketPath(), lockPath());
        InstanceChannel second(socketPath(), lockPath());
        EXPECT_TRUE(first.tryLock());
        EXPECT_FALSE(second.tryLock());
        EXPECT_TRUE(InstanceChannel::isLockHeld(lockPath()));
    }
    EXPECT_FALSE(InstanceChannel::isLockHeld(lockPath()));

    QDir().mkpath(dir.path() + QStringLiteral("/data"));
    QFile stale(lockPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    // QLockFile's format: pid, application name, host name. 2^22 + 1 is above
    // Linux's default pid limit, so no process has it.
    stale.write("4194305\nbramblet\n\n");
    stale.close();
    EXPECT_FALSE(InstanceChannel::isLockHeld(lockPath()));
    InstanceChannel third(socketPath(), lockPath());
    EXPECT_TRUE(third.tryLock());
}

// A crashed instance leaves its socket file behind; the new holder replaces it.
TEST_F(ChannelTest, request_reaches_the_holder_over_a_stale_socket_file_and_the_reply_comes_back)
{
    QFile leftover(socketPath());
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    EXPECT_FALSE(sendFromWorker({{"command", "toggle"}}, 300).has_value()) << "nobody listens yet";
    InstanceChannel server(socketPath(), lockPath());
    ASSERT_TRUE(server.tryLock());
    QJsonObject seen;
    ASSERT_TRUE(server.listen([&seen](const QJsonObject &request) {
        seen = request;
        return QJsonObject{{"exit", 0}, {"out", QStringLiteral("réponse")}};
    }));
    const auto reply = sendFromWorker({{"command", "toggle"}}, 3000);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(seen.value("command").toString(), QStringLiteral("toggle"));
    EXPECT_EQ(reply->value("out").toString(), QStringLiteral("réponse"));
}

} // namespace
