#include "cardchrome.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "cards/cardpainting.h"
#include "cards/cardview.h"
#include "styling/continuousroundedrect.h"
#include "styling/glassmaterial.h"
#include "styling/imageblur.h"

namespace CardChrome {

namespace {

constexpr qreal kShadowRadiusSelected = 8;
constexpr qreal kShadowRadius = 4;
constexpr qreal kShadowOffsetY = 2;

} // namespace

const QImage &body(const QSize &card, const CardState &state, qreal dpr)
{
    static QHash<QString, QImage> cache;
    const QString key = QStringLiteral("%1x%2|%3|%4|%5").arg(card.width()).arg(card.height())
                            .arg(state.selected).arg(state.hovered).arg(dpr);
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    const qreal radius = state.selected ? kShadowRadiusSelected : kShadowRadius;
    const int pad = 2 * int(kShadowRadiusSelected);
    const QSizeF logical(card.width() + 2 * pad, card.height() + 2 * pad);
    QImage img((logical * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    const QRectF bodyRect(pad, pad, card.width(), card.height());
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        p.fillPath(ContinuousRoundedRect::path(bodyRect.translated(0, kShadowOffsetY), CardView::kCornerRadius),
                   QColor::fromRgbF(0, 0, 0, state.selected ? 0.2f : 0.08f));
    }
    ImageBlur::blur(img, qRound(radius * dpr));
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        const QPainterPath shape = ContinuousRoundedRect::path(bodyRect, CardView::kCornerRadius);
        // The material replaces the shadow under the card instead of
        // darkening through it.
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillPath(shape, GlassMaterial::fill(GlassMaterial::Material::Thin, true));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (state.hovered)
            p.fillPath(shape, QColor(255, 255, 255, 10));
        p.strokePath(shape, QPen(QColor::fromRgbF(1, 1, 1, 0.10f), 1));
    }
    img.setDevicePixelRatio(dpr);
    return *cache.insert(key, img);
}

const QImage &selectionRing(const QSize &card, qreal dpr)
{
    static QHash<QString, QImage> cache;
    const QString key = QStringLiteral("%1x%2|%3").arg(card.width()).arg(card.height()).arg(dpr);
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    const int pad = 8;
    const QSizeF logical(card.width() + 2 * pad, card.height() + 2 * pad);
    QImage img((logical * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    const QRectF bodyRect(pad, pad, card.width(), card.height());
    const QPainterPath shape = ContinuousRoundedRect::path(bodyRect, CardView::kCornerRadius);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        p.strokePath(shape, QPen(CardPainting::withAlpha(GlassMaterial::accentColor(), 0.3), 2.5));
    }
    ImageBlur::blur(img, qRound(4 * dpr));
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        QLinearGradient g(bodyRect.topLeft(), bodyRect.bottomRight());
        g.setColorAt(0, GlassMaterial::accentColor());
        g.setColorAt(1, CardPainting::withAlpha(GlassMaterial::accentColor(), 0.75));
        p.strokePath(shape, QPen(QBrush(g), 2.5));
    }
    img.setDevicePixelRatio(dpr);
    return *cache.insert(key, img);
}

} // namespace CardChrome
