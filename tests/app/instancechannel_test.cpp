// The single-instance lock (requests to the holder travel in the end-to-end
// tests, which start a second instance).
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/instancechannel.h"

namespace {

class ChannelTest : public ::testing::Test
{
protected:
    QString socketPath() const { return dir.path() + QStringLiteral("/test.socket"); }
    QString lockPath() const { return dir.path() + QStringLiteral("/data/instance.lock"); }

    QTemporaryDir dir;
};

TEST_F(ChannelTest, one_holder_of_the_lock_until_it_goes_and_a_dead_holder_is_taken_over)
{
    {
        InstanceChannel first(socketPath(), lockPath());
        InstanceChannel second(socketPath(), lockPath());
        EXPECT_TRUE(first.tryLock());
        EXPECT_EQ(QFile::permissions(lockPath()) & (QFile::ReadGroup | QFile::ReadOther), 0);
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
    // A crashed instance leaves its socket file behind; the new holder replaces it.
    QFile leftover(socketPath());
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    EXPECT_TRUE(third.listen([](const QJsonObject &) { return QJsonObject(); }));
}

} // namespace
