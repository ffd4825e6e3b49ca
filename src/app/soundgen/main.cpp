// Build-time tool: writes the shipped alert sounds as <Name>.wav into the
// folder given as its only argument.
#include <cstdio>

#include <QDir>
#include <QFile>

#include "app/soundsynth.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bramblet_soundgen OUTPUT_DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "bramblet_soundgen: cannot create %s\n", argv[1]);
        return 1;
    }
    for (const QString &name : SoundSynth::names()) {
        QFile file(dir + QLatin1Char('/') + name + QStringLiteral(".wav"));
        if (!file.open(QIODevice::WriteOnly) || file.write(*SoundSynth::wav(name)) < 0) {
            std::fprintf(stderr, "bramblet_soundgen: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
