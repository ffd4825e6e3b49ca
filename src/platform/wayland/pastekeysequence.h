#pragma once

#include <QList>

#include "platform/pastechord.h"

// The key and modifier events a virtual keyboard sends for one paste chord:
// each modifier key pressed and announced, V pressed and released, then the
// modifiers released in reverse order and cleared. Key codes are evdev codes.
namespace PasteKeySequence {

struct Step
{
    enum class Kind { Key, Modifiers };
    Kind kind = Kind::Key;
    quint32 key = 0;      // Key: evdev code
    bool pressed = false; // Key: press or release
    quint32 depressed = 0; // Modifiers: the depressed modifier mask

    bool operator==(const Step &) const = default;
};

QList<Step> forChord(PasteChord chord, quint32 ctrlMask, quint32 shiftMask);

} // namespace PasteKeySequence
