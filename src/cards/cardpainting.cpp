#include "cardpainting.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "styling/symbolicons.h"

namespace CardPainting {

QFont uiFont(qreal size, QFont::Weight weight)
{
    QFont f;
    f.setPointSizeF(size * 0.75);
    f.setWeight(weight);
    return f;
}

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

void drawPictureInto(QPainter &p, const QImage &img, const QRectF &box)
{
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QSizeF size = QSizeF(img.size()) / dpr;
    const QRectF target(box.center().x() - size.width() / 2, box.center().y() - size.height() / 2,
                        size.width(), size.height());
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, img);
    p.restore();
}

void drawSymbol(QPainter &p, const QString &name, const QRectF &box, const QColor &color)
{
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QPixmap pm = SymbolIcons::pixmap(name, qRound(box.width()), color, dpr);
    p.drawPixmap(box.topLeft(), pm);
}

} // namespace CardPainting
