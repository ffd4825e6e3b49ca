#pragma once

#include <QPainterPath>
#include <QRectF>

// The outline that rounds only the two top corners of a rectangle. With
// r = min(radius, half the smaller side) it runs from the bottom-left corner
// up the left edge, curves to the top edge (quadratic, the top-left corner as
// control point), along the top, curves down the same way on the right, down
// the right edge and closes along the bottom.
struct TopOnlyRounded
{
    qreal radius = 0;

    // The effective corner radius for `rect`.
    qreal effectiveRadius(const QRectF &rect) const;
    QPainterPath path(const QRectF &rect) const;
};
