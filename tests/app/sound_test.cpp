// Sound name resolution and the synthesised sounds.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QtEndian>

#include "app/soundsynth.h"
#include "shellfixture.h"

namespace {

TEST(SoundLibraryTest, user_files_come_first_and_are_listed)
{
    ShellFixture fx;
    const QString folder = fx.library.userFolder();
    QDir().mkpath(folder);
    for (const char *file : {"Pop.wav", "Cloche.ogg", "notes.txt", ".cache.wav", "../Ailleurs.wav"}) {
        QFile f(folder + u'/' + QString::fromUtf8(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(fx.library.resolve(QStringLiteral("Pop")), QUrl::fromLocalFile(folder + "/Pop.wav"));
    EXPECT_EQ(fx.library.resolve(QStringLiteral("Cloche.ogg")), QUrl::fromLocalFile(folder + "/Cloche.ogg"));
    EXPECT_FALSE(fx.library.resolve(QStringLiteral("notes")).has_value());
    EXPECT_FALSE(fx.library.resolve(QStringLiteral(".cache")).has_value());
    // A name from the settings file never leaves the folder.
    EXPECT_FALSE(fx.library.resolve(QStringLiteral("../Ailleurs")).has_value());
    EXPECT_EQ(fx.library.userNames(), QStringList{QStringLiteral("Cloche")});
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
        const auto pcm = SoundSynth::samples(name);
        const double seconds = double(pcm->size()) / SoundSynth::kSampleRate;
        EXPECT_TRUE(seconds > 0.05 && seconds < 1.0) << name.toStdString();
        qint16 peak = 0;
        for (qint16 s : *pcm)
            peak = std::max<qint16>(peak, qint16(std::abs(s)));
        EXPECT_GT(peak, 3000) << name.toStdString() << " is nearly silent";
        // A RIFF file whose data chunk holds every 16-bit sample.
        EXPECT_TRUE(wav->startsWith("RIFF") && wav->mid(8, 8) == "WAVEfmt ") << name.toStdString();
        EXPECT_EQ(qFromLittleEndian<quint32>(wav->constData() + 40), quint32(pcm->size() * 2)) << name.toStdString();
        seen.insert(*wav);
    }
    EXPECT_EQ(seen.size(), 14);
}

} // namespace
