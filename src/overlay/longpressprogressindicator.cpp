#include "longpressprogressindicator.h"

#include <algorithm>

#include <QPainter>
#include <QRadialGradient>

void LongPressProgressIndicator::paint(QPainter &painter, const QPointF &centre, double progress)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal r = kDiameter / 2.0;
    const QRectF circle(centre.x() - r, centre.y() - r, kDiameter, kDiameter);

    // Shadow: black 0.3, radius 8, 2 px down.
    QRadialGradient shadow(centre + QPointF(0, 2), r + 8);
    shadow.setColorAt(r / (r + 8) * 0.9, QColor(0, 0, 0, 77));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadow);
    painter.drawEllipse(centre + QPointF(0, 2), r + 8, r + 8);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 51), 3));
    painter.drawEllipse(circle);

    const double p = std::clamp(progress, 0.0, 1.0);
    if (p > 0) {
        painter.setPen(QPen(QColor(0x0A, 0x84, 0xFF), 3, Qt::SolidLine, Qt::RoundCap));
        // Qt angles are counter-clockwise in 1/16 degree; start at 12 o'clock.
        painter.drawArc(circle, 90 * 16, -int(p * 360 * 16));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x0A, 0x84, 0xFF, 77));
    painter.drawEllipse(centre, 4, 4);
    painter.restore();
}
