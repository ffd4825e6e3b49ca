#pragma once

#include "platform/pastechord.h"

// Synthetic keyboard input to the focused window. Main thread.
class InputSynthesizer
{
public:
    virtual ~InputSynthesizer() = default;
    InputSynthesizer() = default;
    InputSynthesizer(const InputSynthesizer &) = delete;
    InputSynthesizer &operator=(const InputSynthesizer &) = delete;

    // Whether this process may synthesise input (on X11: the XTEST extension
    // is present). False when it cannot be determined.
    virtual bool isTrusted() const = 0;
    // Asks the user for the permission where the desktop has such a prompt;
    // does nothing where it has none.
    virtual void promptForTrust() = 0;
    // Sends `chord` to the focused window as key presses and releases. Any
    // modifier the user still holds is released first, so the target sees
    // exactly the chord. Does nothing when isTrusted() is false.
    virtual void sendPasteChord(PasteChord chord) = 0;
};
