#pragma once

#include <QPointer>

#include "platform/inputsynthesizer.h"

class QMessageBox;

// Key events through the XTEST extension, which X servers grant to every
// client: "trusted" means the extension is present. Off xcb nothing is
// trusted, and the prompt tells the user to paste by hand.
class X11InputSynthesizer final : public InputSynthesizer
{
public:
    X11InputSynthesizer() = default;
    // Closes the prompt if it is still open: no window outlives its owner.
    ~X11InputSynthesizer() override;

    bool isTrusted() const override;
    void promptForTrust() override;
    void sendPasteChord(PasteChord chord) override;

private:
    QPointer<QMessageBox> m_prompt;
};
