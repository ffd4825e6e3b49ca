#include "modifierflags.h"

namespace ModifierFlags {

uint32_t carbonFlags(uint64_t flags)
{
    uint32_t mask = 0;
    if (flags & kCommand)
        mask |= kCarbonCommand;
    if (flags & kShift)
        mask |= kCarbonShift;
    if (flags & kOption)
        mask |= kCarbonOption;
    if (flags & kControl)
        mask |= kCarbonControl;
    return mask;
}

uint64_t fromCarbonFlags(uint32_t carbonMask)
{
    uint64_t flags = 0;
    if (carbonMask & kCarbonCommand)
        flags |= kCommand;
    if (carbonMask & kCarbonShift)
        flags |= kShift;
    if (carbonMask & kCarbonOption)
        flags |= kOption;
    if (carbonMask & kCarbonControl)
        flags |= kControl;
    return flags;
}

} // namespace ModifierFlags
