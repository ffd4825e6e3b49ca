#pragma once

#include <QHash>
#include <QObject>
#include <QUrl>

class QAudioOutput;
class QMediaPlayer;
class QSoundEffect;

// Plays sound files through QtMultimedia without waiting for them: WAV through
// a cached QSoundEffect, other formats through one QMediaPlayer. Without any
// audio output device it plays nothing (one info line the first time).
class MultimediaSoundOutput final : public QObject
{
    Q_OBJECT

public:
    explicit MultimediaSoundOutput(QObject *parent = nullptr);
    ~MultimediaSoundOutput() override;

    void play(const QUrl &url);

private:
    bool hasDevice();

    QHash<QUrl, QSoundEffect *> m_effects;
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_audio = nullptr;
    bool m_reportedSilent = false;
};
