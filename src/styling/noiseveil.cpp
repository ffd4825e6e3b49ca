#include "noiseveil.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

int NoiseVeil::paint(QPainter &painter, const QRectF &rect) const
{
    const int width = int(rect.width());
    const int height = int(rect.height());
    if (width <= 0 || height <= 0 || opacity <= 0)
        return 0;

    // One image per paint instead of thousands of fillRect calls: each square
    // is written as pixels, then the whole veil is composited once.
    QImage veil(width, height, QImage::Format_ARGB32_Premultiplied);
    veil.fill(Qt::transparent);
    auto *random = QRandomGenerator::system();
    int squares = 0;
    for (int y = 0; y < height; y += 2) {
        for (int x = 0; x < width; x += 2) {
            const double alpha = 0.35 + random->bounded(0.30 + 1e-9);
            const int a = qBound(0, qRound(alpha * 255), 255);
            const QRgb px = qRgba(a, a, a, a); // premultiplied white
            for (int dy = 0; dy < 2 && y + dy < height; ++dy) {
                auto *line = reinterpret_cast<QRgb *>(veil.scanLine(y + dy));
                for (int dx = 0; dx < 2 && x + dx < width; ++dx)
                    line[x + dx] = px;
            }
            ++squares;
        }
    }
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.setCompositionMode(QPainter::CompositionMode_Overlay);
    painter.drawImage(rect.topLeft(), veil);
    painter.restore();
    return squares;
}
