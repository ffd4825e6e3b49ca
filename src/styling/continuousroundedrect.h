#pragma once

#include <QPainterPath>
#include <QRectF>

// A rounded rectangle with continuous ("smooth") corners: each corner's curve
// starts further along the edge than a circular arc of the same radius and
// bends gradually, so edge and corner meet without a visible kink.
namespace ContinuousRoundedRect {

QPainterPath path(const QRectF &rect, qreal radius);

} // namespace ContinuousRoundedRect
