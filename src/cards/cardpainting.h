#pragma once

#include <QColor>
#include <QFont>

class QImage;
class QPainter;
class QRectF;
class QString;

// Small drawing helpers the card's painters share. Sizes are the layout's
// points, drawn 1:1 as pixels at 96 dpi. Main thread only.
namespace CardPainting {

// The interface font at `size` points of the layout.
QFont uiFont(qreal size, QFont::Weight weight = QFont::Normal);
QColor withAlpha(QColor color, qreal alpha);
// Draws `image` (already at the device's pixel ratio) centred in `box`,
// clipped to it.
void drawPictureInto(QPainter &painter, const QImage &image, const QRectF &box);
// Draws the symbol `name` filling the square `box`, in `color`.
void drawSymbol(QPainter &painter, const QString &name, const QRectF &box, const QColor &color);

} // namespace CardPainting
