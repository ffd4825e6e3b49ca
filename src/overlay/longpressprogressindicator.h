#pragma once

#include <QPointF>

class QPainter;

// The ring drawn over a card while a long press fills: a faint 50 px circle,
// the same circle stroked blue from the top, clockwise, up to `progress`
// (0 to 1), and a small blue dot in the middle, with a soft shadow.
class LongPressProgressIndicator final
{
public:
    static constexpr int kDiameter = 50;

    // Paints the ring centred on `centre`; restores the painter's state.
    static void paint(QPainter &painter, const QPointF &centre, double progress);
};
