#include "toponlyrounded.h"

#include <algorithm>

qreal TopOnlyRounded::effectiveRadius(const QRectF &rect) const
{
    return std::max<qreal>(0, std::min(radius, std::min(rect.width(), rect.height()) / 2));
}

QPainterPath TopOnlyRounded::path(const QRectF &rect) const
{
    const qreal r = effectiveRadius(rect);
    QPainterPath p;
    p.moveTo(rect.left(), rect.bottom());
    p.lineTo(rect.left(), rect.top() + r);
    p.quadTo(rect.topLeft(), QPointF(rect.left() + r, rect.top()));
    p.lineTo(rect.right() - r, rect.top());
    p.quadTo(rect.topRight(), QPointF(rect.right(), rect.top() + r));
    p.lineTo(rect.right(), rect.bottom());
    p.closeSubpath();
    return p;
}
