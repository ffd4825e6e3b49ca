#pragma once

#include "platform/inputsynthesizer.h"

// For sessions where no service of ours can reach the window in front: never
// trusted, sends nothing, and its prompt is the one of `prompter` (which says
// to paste by hand). `prompter` must outlive it. Main thread.
class HandPasteInput final : public InputSynthesizer
{
public:
    explicit HandPasteInput(InputSynthesizer &prompter) : m_prompter(prompter) {}

    bool isTrusted() const override { return false; }
    void promptForTrust() override { m_prompter.promptForTrust(); }
    void sendPasteChord(PasteChord) override {}

private:
    InputSynthesizer &m_prompter;
};
