#include "soundsynth.h"

#include <cmath>
#include <functional>
#include <numbers>

#include <QtEndian>

namespace {

enum class Wave { Sine, Square, Saw, Triangle, Noise };

struct Voice {
    double start = 0;      // seconds into the sound
    double duration = 0.1; // seconds
    double fromHz = 440;
    double toHz = 440;     // exponential glide from fromHz
    Wave wave = Wave::Sine;
    double gain = 0.5;
    double attack = 0.004; // seconds
    double decay = 8.0;    // exponential decay rate per second after the attack
    double vibratoHz = 0;
    double vibratoDepth = 0; // fraction of the frequency
    double tremoloHz = 0;    // amplitude modulation
    double overtone = 0;     // gain of a second partial at 2.76× (bell colour)
};

using Recipe = QList<Voice>;

// A small linear-congruential generator keeps noise identical across builds.
class Noise
{
public:
    double next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return (double(m_state >> 8) / double(1u << 24)) * 2.0 - 1.0;
    }

private:
    quint32 m_state = 0x2545F491u;
};

double waveAt(Wave wave, double phase, Noise &noise)
{
    const double frac = phase - std::floor(phase);
    switch (wave) {
    case Wave::Sine:
        return std::sin(2.0 * std::numbers::pi * frac);
    case Wave::Square:
        return frac < 0.5 ? 0.7 : -0.7;
    case Wave::Saw:
        return 2.0 * frac - 1.0;
    case Wave::Triangle:
        return frac < 0.5 ? 4.0 * frac - 1.0 : 3.0 - 4.0 * frac;
    case Wave::Noise:
        return noise.next();
    }
    return 0;
}

Recipe recipe(const QString &name)
{
    auto v = [](double start, double dur, double from, double to, Wave w, double gain, double decay) {
        Voice voice;
        voice.start = start;
        voice.duration = dur;
        voice.fromHz = from;
        voice.toHz = to;
        voice.wave = w;
        voice.gain = gain;
        voice.decay = decay;
        return voice;
    };
    if (name == u"Basso") {
        Voice low = v(0, 0.55, 98, 92, Wave::Saw, 0.45, 5);
        Voice sub = v(0, 0.55, 49, 46, Wave::Sine, 0.35, 4);
        return {low, sub};
    }
    if (name == u"Blow") {
        Voice air = v(0, 0.45, 0, 0, Wave::Noise, 0.25, 4);
        air.attack = 0.12;
        Voice hum = v(0, 0.45, 340, 300, Wave::Sine, 0.15, 5);
        hum.attack = 0.1;
        return {air, hum};
    }
    if (name == u"Bottle") {
        Voice body = v(0, 0.35, 300, 330, Wave::Sine, 0.6, 9);
        body.attack = 0.02;
        body.vibratoHz = 7;
        body.vibratoDepth = 0.01;
        return {body};
    }
    if (name == u"Frog") {
        Voice a = v(0, 0.09, 180, 140, Wave::Square, 0.4, 12);
        a.tremoloHz = 45;
        Voice b = v(0.13, 0.12, 170, 120, Wave::Square, 0.4, 10);
        b.tremoloHz = 40;
        return {a, b};
    }
    if (name == u"Funk") {
        Voice a = v(0, 0.12, 392, 392, Wave::Saw, 0.35, 14);
        Voice b = v(0.12, 0.22, 294, 262, Wave::Saw, 0.35, 10);
        return {a, b};
    }
    if (name == u"Glass") {
        Voice bell = v(0, 0.7, 1760, 1760, Wave::Sine, 0.45, 5);
        bell.overtone = 0.35;
        return {bell};
    }
    if (name == u"Hero") {
        return {v(0, 0.12, 523, 523, Wave::Triangle, 0.45, 8), v(0.1, 0.12, 659, 659, Wave::Triangle, 0.45, 8),
                v(0.2, 0.35, 784, 784, Wave::Triangle, 0.5, 5)};
    }
    if (name == u"Morse") {
        return {v(0, 0.06, 880, 880, Wave::Sine, 0.45, 1), v(0.1, 0.06, 880, 880, Wave::Sine, 0.45, 1),
                v(0.2, 0.16, 880, 880, Wave::Sine, 0.45, 1)};
    }
    if (name == u"Ping") {
        Voice ping = v(0, 0.6, 1318, 1318, Wave::Sine, 0.5, 6);
        ping.attack = 0.002;
        return {ping};
    }
    if (name == u"Pop") {
        Voice pop = v(0, 0.08, 650, 180, Wave::Sine, 0.7, 30);
        pop.attack = 0.002;
        return {pop};
    }
    if (name == u"Purr") {
        Voice purr = v(0, 0.45, 220, 210, Wave::Triangle, 0.45, 3);
        purr.tremoloHz = 24;
        purr.attack = 0.05;
        return {purr};
    }
    if (name == u"Sosumi") {
        Voice a = v(0, 0.18, 659, 659, Wave::Sine, 0.45, 12);
        a.overtone = 0.2;
        Voice b = v(0.15, 0.3, 988, 988, Wave::Sine, 0.45, 9);
        b.overtone = 0.2;
        return {a, b};
    }
    if (name == u"Submarine") {
        Voice ping = v(0, 0.5, 440, 430, Wave::Sine, 0.5, 4);
        ping.vibratoHz = 5;
        ping.vibratoDepth = 0.004;
        Voice echo = v(0.28, 0.4, 440, 430, Wave::Sine, 0.18, 5);
        return {ping, echo};
    }
    if (name == u"Tink") {
        Voice tink = v(0, 0.1, 2637, 2637, Wave::Sine, 0.4, 40);
        tink.overtone = 0.3;
        tink.attack = 0.001;
        return {tink};
    }
    return {};
}

} // namespace

namespace SoundSynth {

QStringList names()
{
    return {QStringLiteral("Basso"), QStringLiteral("Blow"),  QStringLiteral("Bottle"), QStringLiteral("Frog"),
            QStringLiteral("Funk"),  QStringLiteral("Glass"), QStringLiteral("Hero"),   QStringLiteral("Morse"),
            QStringLiteral("Ping"),  QStringLiteral("Pop"),   QStringLiteral("Purr"),   QStringLiteral("Sosumi"),
            QStringLiteral("Submarine"), QStringLiteral("Tink")};
}

std::optional<QList<qint16>> samples(const QString &name)
{
    const Recipe voices = recipe(name);
    if (voices.isEmpty())
        return std::nullopt;
    double length = 0;
    for (const Voice &voice : voices)
        length = std::max(length, voice.start + voice.duration);
    const int count = int(std::ceil(length * kSampleRate));
    QList<double> mix(count, 0.0);
    Noise noise;
    for (const Voice &voice : voices) {
        const int first = int(voice.start * kSampleRate);
        const int total = int(voice.duration * kSampleRate);
        double phase = 0;
        double overtonePhase = 0;
        for (int i = 0; i < total && first + i < count; ++i) {
            const double t = double(i) / kSampleRate;
            const double progress = double(i) / std::max(1, total - 1);
            double hz = voice.fromHz * std::pow(voice.toHz / std::max(1.0, voice.fromHz), progress);
            if (voice.vibratoHz > 0)
                hz *= 1.0 + voice.vibratoDepth * std::sin(2.0 * std::numbers::pi * voice.vibratoHz * t);
            phase += hz / kSampleRate;
            overtonePhase += 2.76 * hz / kSampleRate;
            double env = t < voice.attack ? t / voice.attack : std::exp(-voice.decay * (t - voice.attack));
            // A short release at the end avoids a click when a voice stops.
            const double remaining = voice.duration - t;
            if (remaining < 0.005)
                env *= std::max(0.0, remaining / 0.005);
            if (voice.tremoloHz > 0)
                env *= 0.5 + 0.5 * std::sin(2.0 * std::numbers::pi * voice.tremoloHz * t);
            double value = waveAt(voice.wave, phase, noise);
            if (voice.overtone > 0)
                value += voice.overtone * std::sin(2.0 * std::numbers::pi * (overtonePhase - std::floor(overtonePhase)));
            mix[first + i] += voice.gain * env * value;
        }
    }
    QList<qint16> out;
    out.reserve(count);
    for (double value : std::as_const(mix))
        out.append(qint16(std::lround(std::clamp(value, -1.0, 1.0) * 32000.0)));
    return out;
}

QByteArray wavFile(const QList<qint16> &pcm, int sampleRate)
{
    const quint32 dataBytes = quint32(pcm.size() * 2);
    QByteArray out;
    out.reserve(int(44 + dataBytes));
    auto u32 = [&out](quint32 value) {
        char b[4];
        qToLittleEndian(value, b);
        out.append(b, 4);
    };
    auto u16 = [&out](quint16 value) {
        char b[2];
        qToLittleEndian(value, b);
        out.append(b, 2);
    };
    out.append("RIFF", 4);
    u32(36 + dataBytes);
    out.append("WAVEfmt ", 8);
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(quint32(sampleRate));
    u32(quint32(sampleRate * 2));
    u16(2);
    u16(16);
    out.append("data", 4);
    u32(dataBytes);
    for (qint16 s : pcm)
        u16(quint16(s));
    return out;
}

std::optional<QByteArray> wav(const QString &name)
{
    const auto pcm = samples(name);
    if (!pcm)
        return std::nullopt;
    return wavFile(*pcm);
}

} // namespace SoundSynth
