#include "multimediasoundoutput.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QSoundEffect>

#include "platform/logger.h"

MultimediaSoundOutput::MultimediaSoundOutput(QObject *parent)
    : QObject(parent)
{
}

MultimediaSoundOutput::~MultimediaSoundOutput() = default;

bool MultimediaSoundOutput::hasDevice()
{
    if (!QMediaDevices::audioOutputs().isEmpty())
        return true;
    if (!m_reportedSilent) {
        m_reportedSilent = true;
        Log::info(QStringLiteral("Sound: no audio output device, sounds stay silent"));
    }
    return false;
}

void MultimediaSoundOutput::play(const QUrl &url)
{
    if (!url.isValid() || !hasDevice())
        return;
    if (url.path().endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) {
        QSoundEffect *effect = m_effects.value(url);
        if (!effect) {
            effect = new QSoundEffect(this);
            effect->setSource(url);
            m_effects.insert(url, effect);
        }
        // A repeat restarts the sound instead of queueing behind it.
        effect->stop();
        effect->play();
        return;
    }
    if (!m_player) {
        m_player = new QMediaPlayer(this);
        m_audio = new QAudioOutput(this);
        m_player->setAudioOutput(m_audio);
        connect(m_player, &QMediaPlayer::errorOccurred, this, [](QMediaPlayer::Error, const QString &text) {
            Log::error(QStringLiteral("Sound: cannot play: ") + text);
        });
    }
    m_player->stop();
    m_player->setSource(url);
    m_player->play();
}
