#include "glasspanelbackground.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "continuousroundedrect.h"
#include "glassmaterial.h"
#include "imageblur.h"
#include "noiseveil.h"

namespace {

QColor white(double alpha) { return QColor::fromRgbF(1, 1, 1, float(qBound(0.0, alpha, 1.0))); }

} // namespace

QImage GlassPanelBackground::renderStaticLayers(const QSize &size) const
{
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    const QPainterPath shape = ContinuousRoundedRect::path(r, cornerRadius);

    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);

    // 1. darkening
    p.fillPath(shape, QColor::fromRgbF(0, 0, 0, float(darkenOpacity)));

    // 2. edge rim, added light (plus-lighter), inset 1
    {
        const QRectF inset = r.adjusted(1, 1, -1, -1);
        QLinearGradient g(inset.topLeft(), inset.bottomRight());
        g.setColorAt(0.0, white(edgeRefraction * 0.75));
        g.setColorAt(0.25, white(edgeRefraction * 0.25));
        g.setColorAt(0.5, Qt::transparent);
        g.setColorAt(0.75, white(edgeRefraction * 0.25));
        g.setColorAt(1.0, white(edgeRefraction * 0.65));
        QPen pen(QBrush(g), edgeWidth);
        pen.setMiterLimit(10);
        p.save();
        p.setOpacity(0.8);
        p.setCompositionMode(QPainter::CompositionMode_Plus);
        p.strokePath(ContinuousRoundedRect::path(inset, qMax<qreal>(0, cornerRadius - 1)), pen);
        p.restore();
    }

    // 3. highlight: wide soft stroke lit from the top-left, screened on
    {
        QImage layer(size, QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(r.topLeft(), r.center());
        g.setColorAt(0.0, white(highlightOpacity));
        g.setColorAt(0.5, white(0.25));
        g.setColorAt(1.0, Qt::transparent);
        lp.setClipPath(shape);
        lp.strokePath(shape, QPen(QBrush(g), 6));
        lp.end();
        ImageBlur::blur(layer, 3);
        p.save();
        p.setOpacity(0.9);
        p.setCompositionMode(QPainter::CompositionMode_Screen);
        p.drawImage(0, 0, layer);
        p.restore();
    }

    // 4. inner shade towards the bottom-right
    {
        QImage layer(size, QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.setClipPath(shape);
        lp.strokePath(shape, QPen(QColor::fromRgbF(0, 0, 0, 0.22f), 2));
        lp.end();
        ImageBlur::blur(layer, 2);
        QPainter mp(&layer);
        mp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient mask(r.topLeft(), r.bottomRight());
        mask.setColorAt(0, Qt::transparent);
        mask.setColorAt(1, Qt::black);
        mp.fillRect(r, mask);
        mp.end();
        p.drawImage(0, 0, layer);
    }
    return out;
}

void GlassPanelBackground::paint(QPainter &painter, const QRectF &rect, bool translucent) const
{
    if (rect.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = ContinuousRoundedRect::path(rect, cornerRadius);
    if (!translucent)
        GlassMaterial::paint(painter, shape, GlassMaterial::Material::HudWindow, false);

    const QSize size = rect.size().toSize();
    if (m_cacheSize != size || m_cache.isNull()) {
        m_cache = renderStaticLayers(size);
        m_cacheSize = size;
    }
    painter.drawImage(rect.topLeft(), m_cache);

    // 5. grain, new every paint
    painter.setClipPath(shape, Qt::IntersectClip);
    NoiseVeil{noiseOpacity}.paint(painter, rect);
    painter.restore();
}
