#pragma once

#include <QList>

#include "platform/inputsynthesizer.h"

// Records the chords it was asked to send and the prompts it was asked for.
class FakeInputSynthesizer final : public InputSynthesizer
{
public:
    bool isTrusted() const override { return trusted; }
    void promptForTrust() override { ++prompts; }
    void sendPasteChord(PasteChord chord) override
    {
        if (trusted)
            sent.append(chord);
    }

    bool trusted = true;
    int prompts = 0;
    QList<PasteChord> sent;
};
