#pragma once

#include <QStringList>

#include "platform/soundplayer.h"

// Records the names it was asked to play.
class FakeSoundPlayer final : public SoundPlayer
{
public:
    void play(const QString &name) override { played.append(name); }
    QStringList played;
};
