#include "styledtext.h"

QColor StyledText::colorAt(int index) const
{
    for (const auto &range : formats) {
        if (index >= range.start && index < range.start + range.length)
            return range.format.foreground().color();
    }
    return {};
}
