#pragma once

#include "platform/inputsynthesizer.h"

// Key events through the XTEST extension, which X servers grant to every
// client: "trusted" means the extension is present. There is no permission
// prompt on X11. Off xcb nothing is trusted.
class X11InputSynthesizer final : public InputSynthesizer
{
public:
    bool isTrusted() const override;
    void promptForTrust() override;
    void sendPasteChord(PasteChord chord) override;
};
