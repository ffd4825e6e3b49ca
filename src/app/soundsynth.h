#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

// The fourteen alert sounds the program ships, made from a short recipe each
// (tones, sweeps, noise with envelopes) instead of recorded files. Pure and
// deterministic: the same name always gives the same bytes. QtCore only.
namespace SoundSynth {

inline constexpr int kSampleRate = 22050;

// "Basso", "Blow", "Bottle", "Frog", "Funk", "Glass", "Hero", "Morse",
// "Ping", "Pop", "Purr", "Sosumi", "Submarine", "Tink", in this order.
QStringList names();

// Mono 16-bit PCM samples of the named sound; empty optional for an unknown name.
std::optional<QList<qint16>> samples(const QString &name);

// A complete RIFF/WAVE file (PCM, mono, 16-bit, kSampleRate) of the named sound.
std::optional<QByteArray> wav(const QString &name);

// Wraps samples in a RIFF/WAVE container.
QByteArray wavFile(const QList<qint16> &samples, int sampleRate = kSampleRate);

} // namespace SoundSynth
