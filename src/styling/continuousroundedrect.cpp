#include "continuousroundedrect.h"

#include <algorithm>

namespace ContinuousRoundedRect {

QPainterPath path(const QRectF &rect, qreal radius)
{
    QPainterPath p;
    if (rect.isEmpty())
        return p;
    // The curve begins 1.28 r from the corner (the usual squircle extent) and
    // its control points sit close to the corner; capped at half a side so
    // small rectangles stay convex.
    const qreal limit = std::min(rect.width(), rect.height()) / 2;
    const qreal r = std::clamp(radius, qreal(0), limit);
    const qreal e = std::min(r * 1.28, limit);
    const qreal c = e * 0.38; // control point distance from the corner
    const qreal l = rect.left(), t = rect.top(), rr = rect.right(), b = rect.bottom();

    p.moveTo(l + e, t);
    p.lineTo(rr - e, t);
    p.cubicTo(rr - c, t, rr, t + c, rr, t + e);
    p.lineTo(rr, b - e);
    p.cubicTo(rr, b - c, rr - c, b, rr - e, b);
    p.lineTo(l + e, b);
    p.cubicTo(l + c, b, l, b - c, l, b - e);
    p.lineTo(l, t + e);
    p.cubicTo(l, t + c, l + c, t, l + e, t);
    p.closeSubpath();
    return p;
}

} // namespace ContinuousRoundedRect
