#pragma once

// The desktop's alert sound.
class Beeper
{
public:
    virtual ~Beeper() = default;
    Beeper() = default;
    Beeper(const Beeper &) = delete;
    Beeper &operator=(const Beeper &) = delete;

    // Rings the alert bell once; silent where there is no bell.
    virtual void beep() = 0;
};
