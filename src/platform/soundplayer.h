#pragma once

#include <QString>

// Plays a short named sound without blocking. A name that resolves to no
// sound, or a machine without audio output, plays nothing.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    SoundPlayer() = default;
    SoundPlayer(const SoundPlayer &) = delete;
    SoundPlayer &operator=(const SoundPlayer &) = delete;

    virtual void play(const QString &name) = 0;
};
