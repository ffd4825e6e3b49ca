// The settings database answers "absent" for missing keys and for values of
// another type, keeps values across instances (restarts), writes text a
// person can read and edit, and still reads the file version 0.1.0 wrote.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/userdefaults.h"

namespace {

class UserDefaultsTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.path() + QStringLiteral("/settings.conf"); }
    void writeFile(const QByteArray &content) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QStringList fileLines() const
    {
        QFile f(path());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    QTemporaryDir m_dir;
};

// Exactly what 0.1.0 wrote (QSettings' INI format, tagged values; Base64
// ending in '=' and text with a comma come quoted).
const char k010File[] =
    "[General]\n"
    "bramblet.history.keep=string:week\n"
    "bramblet.hotkey=\"bytes:eyJkaXNwbGF5Ijoi4oyY4oenViIsImtleUNvZGUiOjksIm1vZGlmaWVycyI6MTE3OTY0OH0=\"\n"
    "bramblet.sound.enabled=bool:false\n"
    "bramblet.sound.name=\"string:Verre « é », \\\"x\\\"\"\n";

TEST_F(UserDefaultsTest, FileWrittenBy010ReadsRightAndIsRewrittenReadably)
{
    writeFile(k010File);
    UserDefaults d(path());
    EXPECT_EQ(d.stringValue(QStringLiteral("bramblet.history.keep")), QStringLiteral("week"));
    EXPECT_EQ(d.bytesValue(QStringLiteral("bramblet.hotkey")),
              QStringLiteral(R"({"display":"⌘⇧V","keyCode":9,"modifiers":1179648})").toUtf8());
    EXPECT_EQ(d.boolValue(QStringLiteral("bramblet.sound.enabled")), false);
    EXPECT_EQ(d.stringValue(QStringLiteral("bramblet.sound.name")), QStringLiteral("Verre « é », \"x\""));

    d.setBool(QStringLiteral("bramblet.sound.enabled"), true);
    const QStringList lines = fileLines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith(u'#'));
    EXPECT_EQ(lines.mid(1), (QStringList{
                                QStringLiteral(R"(bramblet.history.keep="week")"),
                                QStringLiteral(R"(bramblet.hotkey={"display":"⌘⇧V","keyCode":9,"modifiers":1179648})"),
                                QStringLiteral("bramblet.sound.enabled=true"),
                                QStringLiteral(R"(bramblet.sound.name="Verre « é », \"x\"")"),
                            }));
    UserDefaults again(path());
    EXPECT_EQ(again.stringValue(QStringLiteral("bramblet.sound.name")), QStringLiteral("Verre « é », \"x\""));
    EXPECT_EQ(again.boolValue(QStringLiteral("bramblet.sound.enabled")), true);
}

struct HandEditRow {
    const char *name;
    const char *line;
    std::optional<bool> boolean;
    std::optional<QString> text;
    std::optional<QByteArray> bytes;
};

class HandEditedValue : public UserDefaultsTest, public ::testing::WithParamInterface<HandEditRow> {};

TEST_P(HandEditedValue, reads_as_its_own_type_only)
{
    writeFile(QByteArray("# edited by hand\n\n") + GetParam().line + '\n');
    UserDefaults d(path());
    EXPECT_EQ(d.boolValue(QStringLiteral("k")), GetParam().boolean);
    EXPECT_EQ(d.stringValue(QStringLiteral("k")), GetParam().text);
    EXPECT_EQ(d.bytesValue(QStringLiteral("k")), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HandEditedValue,
    ::testing::Values(
        HandEditRow{"boolean", "k=true", true, std::nullopt, std::nullopt},
        HandEditRow{"quoted_text", "k=\"Verre \\u00e9\"", std::nullopt, QStringLiteral("Verre é"), std::nullopt},
        HandEditRow{"quoted_boolean_is_text", "k=\"true\"", std::nullopt, QStringLiteral("true"), std::nullopt},
        HandEditRow{"json_object_is_bytes", "k={\"keyCode\": 40}", std::nullopt, std::nullopt,
                    QByteArray("{\"keyCode\": 40}")},
        HandEditRow{"tagged_base64_is_bytes", "k=bytes:AAE=", std::nullopt, std::nullopt, QByteArray("\x00\x01", 2)},
        HandEditRow{"unterminated_text", "k=\"Verre", std::nullopt, std::nullopt, std::nullopt},
        HandEditRow{"bad_base64", "k=bytes:%%%", std::nullopt, std::nullopt, std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

// Binary bytes survive a new instance (a restart), and changes from two
// instances are merged (text and booleans across instances are checked on
// the file 0.1.0 wrote, a value of another type reading as absent on
// hand-edited lines).
TEST_F(UserDefaultsTest, ValuesKeepTheirTypeAcrossInstances)
{
    const QByteArray bytes("{\"keyCode\":9}\x00\xff", 15);
    UserDefaults first(path());
    UserDefaults second(path());
    first.setBool(QStringLiteral("b"), false);
    second.setBytes(QStringLiteral("y"), bytes);
    second.setBytes(QStringLiteral("gone"), bytes);
    second.remove(QStringLiteral("gone"));
    UserDefaults d(path());
    EXPECT_EQ(d.boolValue(QStringLiteral("b")), false);
    EXPECT_EQ(d.bytesValue(QStringLiteral("y")), bytes);
    EXPECT_TRUE(fileLines().contains(QStringLiteral("y=bytes:") + QString::fromLatin1(bytes.toBase64())));
    EXPECT_FALSE(d.bytesValue(QStringLiteral("gone")));
    first.sync();
    EXPECT_EQ(first.bytesValue(QStringLiteral("y")), bytes);
}

} // namespace
