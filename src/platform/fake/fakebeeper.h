#pragma once

#include "platform/beeper.h"

// Counts the beeps.
class FakeBeeper final : public Beeper
{
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};
