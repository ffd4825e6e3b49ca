// The settings database answers "absent" for missing keys and for values of
// another type, and keeps values across instances (restarts).
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/userdefaults.h"
#include "support/tempenv.h"

namespace {

class UserDefaultsTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.path() + QStringLiteral("/settings.conf"); }
    QTemporaryDir m_dir;
};

TEST_F(UserDefaultsTest, MissingKeysAreAbsentForEveryType)
{
    UserDefaults d(path());
    EXPECT_FALSE(d.boolValue(QStringLiteral("k")));
    EXPECT_FALSE(d.stringValue(QStringLiteral("k")));
    EXPECT_FALSE(d.bytesValue(QStringLiteral("k")));
}

TEST_F(UserDefaultsTest, ValueOfAnotherTypeReadsAsAbsent)
{
    UserDefaults d(path());
    d.setString(QStringLiteral("s"), QStringLiteral("true"));
    d.setBool(QStringLiteral("b"), false);
    d.setBytes(QStringLiteral("y"), QByteArrayLiteral("\x00\x01"));
    EXPECT_FALSE(d.boolValue(QStringLiteral("s")));   // the text "true" is not a boolean
    EXPECT_FALSE(d.stringValue(QStringLiteral("b")));
    EXPECT_FALSE(d.bytesValue(QStringLiteral("s")));
    EXPECT_FALSE(d.stringValue(QStringLiteral("y")));
    EXPECT_EQ(d.boolValue(QStringLiteral("b")), false);
}

TEST_F(UserDefaultsTest, ValuesSurviveANewInstance)
{
    const QByteArray bytes("{\"keyCode\":9}\x00\xff", 15);
    {
        UserDefaults d(path());
        d.setBool(QStringLiteral("bramblet.sound.enabled"), false);
        d.setString(QStringLiteral("bramblet.sound.name"), QStringLiteral("Verre « é »"));
        d.setBytes(QStringLiteral("bramblet.hotkey"), bytes);
        d.sync();
    }
    UserDefaults d(path());
    EXPECT_EQ(d.boolValue(QStringLiteral("bramblet.sound.enabled")), false);
    EXPECT_EQ(d.stringValue(QStringLiteral("bramblet.sound.name")), QStringLiteral("Verre « é »"));
    EXPECT_EQ(d.bytesValue(QStringLiteral("bramblet.hotkey")), bytes);
    d.remove(QStringLiteral("bramblet.hotkey"));
    EXPECT_FALSE(d.bytesValue(QStringLiteral("bramblet.hotkey")));
}

TEST_F(UserDefaultsTest, HandEditedGarbageReadsAsAbsent)
{
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[General]\nflag=yes\nbytes=bytes:%%%not-base64\nplain=hello\n");
    }
    UserDefaults d(path());
    EXPECT_FALSE(d.boolValue(QStringLiteral("flag")));
    EXPECT_FALSE(d.bytesValue(QStringLiteral("bytes")));
    EXPECT_FALSE(d.stringValue(QStringLiteral("plain")));
}

TEST(UserDefaultsLocation, DefaultsUnderXdgConfigHome)
{
    TempEnv env;
    UserDefaults d;
    EXPECT_EQ(d.filePath(), env.configHome() + QStringLiteral("/Bramblet/Bramblet.conf"));
}

} // namespace
