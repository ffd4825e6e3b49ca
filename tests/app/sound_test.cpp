// The copy-sound settings, name resolution and the synthesised sounds.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QtEndian>

#include "app/soundsynth.h"
#include "shellfixture.h"

namespace {

struct SettingRow {
    const char *name;
    std::function<void(UserDefaults &)> store;
    bool enabled;
    QString soundName;
};

class SoundSettings : public ::testing::TestWithParam<SettingRow>
{
};

TEST_P(SoundSettings, read_with_absent_and_wrong_type_rules)
{
    ShellFixture fx;
    GetParam().store(fx.defaults);
    EXPECT_EQ(fx.sound.isEnabled(), GetParam().enabled);
    EXPECT_EQ(fx.sound.soundName(), GetParam().soundName);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SoundSettings,
    ::testing::Values(
        SettingRow{"empty_database_is_on_with_pop", [](UserDefaults &) {}, true, "Pop"},
        SettingRow{"stored_false_is_off", [](UserDefaults &d) { d.setBool("bramblet.sound.enabled", false); }, false, "Pop"},
        SettingRow{"enabled_stored_as_text_counts_as_on",
                   [](UserDefaults &d) { d.setString("bramblet.sound.enabled", "false"); }, true, "Pop"},
        SettingRow{"name_stored_as_bool_counts_as_pop",
                   [](UserDefaults &d) { d.setBool("bramblet.sound.name", true); }, true, "Pop"},
        SettingRow{"stored_name_is_used", [](UserDefaults &d) { d.setString("bramblet.sound.name", "Glass"); }, true,
                   "Glass"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SoundManagerTest, shipped_name_plays_its_resource_and_unknown_plays_nothing)
{
    ShellFixture fx;
    fx.sound.play(QStringLiteral("Pop"));
    fx.sound.play(QStringLiteral("Nonexistent"));
    fx.sound.play(QStringLiteral("../../etc/passwd"));
    EXPECT_EQ(fx.played, QList<QUrl>{QUrl(QStringLiteral("qrc:/sounds/Pop.wav"))});
}

TEST(SoundLibraryTest, user_files_come_first_and_are_listed)
{
    ShellFixture fx;
    QDir().mkpath(fx.library.userFolder());
    for (const char *file : {"Pop.wav", "Cloche.ogg", "notes.txt", ".cache.wav"}) {
        QFile f(fx.library.userFolder() + u'/' + QString::fromUtf8(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString folder = fx.library.userFolder();
    EXPECT_EQ(fx.library.resolve(QStringLiteral("Pop")), QUrl::fromLocalFile(folder + "/Pop.wav"));
    EXPECT_EQ(fx.library.resolve(QStringLiteral("Cloche.ogg")), QUrl::fromLocalFile(folder + "/Cloche.ogg"));
    EXPECT_FALSE(fx.library.resolve(QStringLiteral("notes")).has_value());
    EXPECT_FALSE(fx.library.resolve(QStringLiteral(".cache")).has_value());
    EXPECT_EQ(fx.library.userNames(), QStringList{QStringLiteral("Cloche")});

    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/tmp/xdg-data");
    EXPECT_EQ(SoundLibrary().userFolder(), QStringLiteral("/tmp/xdg-data/sounds"));
    qputenv("XDG_DATA_HOME", saved);
}

TEST(SoundSynthTest, fourteen_distinct_short_audible_sounds_that_all_resolve)
{
    const QStringList names = SoundSynth::names();
    ASSERT_EQ(names.size(), 14);
    SoundLibrary library(QStringLiteral("/nonexistent"));
    QSet<QByteArray> seen;
    for (const QString &name : names) {
        EXPECT_TRUE(library.resolve(name).has_value()) << name.toStdString();
        const auto wav = SoundSynth::wav(name);
        ASSERT_TRUE(wav.has_value()) << name.toStdString();
        EXPECT_TRUE(wav->startsWith("RIFF") && wav->mid(8, 8) == "WAVEfmt ") << name.toStdString();
        const auto pcm = SoundSynth::samples(name);
        const double seconds = double(pcm->size()) / SoundSynth::kSampleRate;
        EXPECT_GT(seconds, 0.05) << name.toStdString();
        EXPECT_LT(seconds, 1.0) << name.toStdString();
        qint16 peak = 0;
        for (qint16 s : *pcm)
            peak = std::max<qint16>(peak, qint16(std::abs(s)));
        EXPECT_GT(peak, 3000) << name.toStdString() << " is nearly silent";
        seen.insert(*wav);
    }
    EXPECT_EQ(seen.size(), 14);
    EXPECT_FALSE(SoundSynth::wav(QStringLiteral("Nope")).has_value());

    const QByteArray wav = SoundSynth::wavFile({1, -1, 2});
    ASSERT_EQ(wav.size(), 44 + 6);
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(36 + 6));
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(6));
}

} // namespace
