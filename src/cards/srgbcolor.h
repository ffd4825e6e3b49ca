#pragma once

#include <QColor>

// An sRGB colour with double components in 0...1, as the header colour rules
// compute them (QColor would round every step to 16 bits).
struct SrgbColor
{
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;

    QColor toQColor() const { return QColor::fromRgbF(float(r), float(g), float(b), float(a)); }
    static SrgbColor fromQColor(const QColor &c)
    {
        const QColor s = c.toRgb();
        return {s.redF(), s.greenF(), s.blueF(), s.alphaF()};
    }
    bool operator==(const SrgbColor &) const = default;
};
