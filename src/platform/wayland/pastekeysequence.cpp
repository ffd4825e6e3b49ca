#include "pastekeysequence.h"

#include "waylandkeymap.h"

namespace PasteKeySequence {

QList<Step> forChord(PasteChord chord, quint32 ctrlMask, quint32 shiftMask)
{
    using Kind = Step::Kind;
    QList<Step> steps;
    // Compositors differ in whether they derive modifiers from key events;
    // announcing them too makes the chord unambiguous everywhere.
    quint32 mods = ctrlMask;
    steps.append({Kind::Key, WaylandKeymap::kLeftCtrl, true, 0});
    steps.append({Kind::Modifiers, 0, false, mods});
    const bool shift = chord == PasteChord::CtrlShiftV;
    if (shift) {
        mods |= shiftMask;
        steps.append({Kind::Key, WaylandKeymap::kLeftShift, true, 0});
        steps.append({Kind::Modifiers, 0, false, mods});
    }
    steps.append({Kind::Key, WaylandKeymap::kV, true, 0});
    steps.append({Kind::Key, WaylandKeymap::kV, false, 0});
    if (shift) {
        mods &= ~shiftMask;
        steps.append({Kind::Key, WaylandKeymap::kLeftShift, false, 0});
        steps.append({Kind::Modifiers, 0, false, mods});
    }
    steps.append({Kind::Key, WaylandKeymap::kLeftCtrl, false, 0});
    steps.append({Kind::Modifiers, 0, false, 0});
    return steps;
}

} // namespace PasteKeySequence
