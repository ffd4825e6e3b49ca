#pragma once

#include <QRectF>

class QPainter;

// A grain texture: 2 × 2 squares of white, each with an opacity drawn at
// random from 0.35–0.65, over the whole area, composited in overlay mode at
// `opacity`. A new pattern on every paint; nothing cached. Meant for modest
// areas at low opacity. An empty area draws nothing.
struct NoiseVeil
{
    double opacity = 0;

    // Paints into `rect`; restores the painter's state. Returns the number of
    // squares drawn.
    int paint(QPainter &painter, const QRectF &rect) const;
};
