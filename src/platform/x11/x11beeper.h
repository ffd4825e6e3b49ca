#pragma once

#include "platform/beeper.h"

// The X server's bell at the user's configured volume.
class X11Beeper final : public Beeper
{
public:
    void beep() override;
};
