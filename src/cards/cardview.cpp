#include "cardview.h"

#include <QCache>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include "cards/appiconcolorcache.h"
#include "cards/cardchrome.h"
#include "cards/cardformat.h"
#include "cards/cardpainting.h"
#include "cards/cardpicturecache.h"
#include "cards/cardpreviewarea.h"
#include "cards/colorsampling.h"
#include "cards/itemcolorcache.h"
#include "model/clipboarditem.h"
#include "model/referencedate.h"
#include "model/uuidtext.h"
#include "platform/systemclock.h"
#include "styling/glassmaterial.h"
#include "styling/toponlyrounded.h"

namespace {

using CardPainting::drawPictureInto;
using CardPainting::drawSymbol;
using CardPainting::uiFont;

constexpr qreal kIconScale = 1.6;
constexpr qreal kIconOffset = 10;

// The footer text per content (see paintFooter).
QCache<QString, QString> &footerCache()
{
    static QCache<QString, QString> cache(4096);
    return cache;
}

void paintFooter(QPainter &p, const QRectF &area, const ClipboardItem &item)
{
    const QRectF row = area.adjusted(CardView::kInnerPadding, 8, -CardView::kInnerPadding, -8);
    // Counting characters decodes the whole clip; keep the text per content.
    const QString key = QStringLiteral("%1|%2|%3").arg(uuidText(item.id)).arg(item.raw.size())
                            .arg(item.textCharCount ? *item.textCharCount : -1);
    QString *text = footerCache().object(key);
    if (!text) {
        footerCache().insert(key, new QString(CardFormat::footerText(item)));
        text = footerCache().object(key);
    }
    const QFont font = uiFont(11);
    const QFontMetricsF fm(font, p.device());
    p.setFont(font);
    p.setPen(GlassMaterial::secondaryLabelColor());
    p.drawText(QPointF(row.left(), row.center().y() - fm.height() / 2 + fm.ascent()),
               fm.elidedText(text ? *text : CardFormat::footerText(item), Qt::ElideRight, row.width() - 24));
    const qreal s = 14;
    drawSymbol(p, item.pinned ? QStringLiteral("pin.fill") : QStringLiteral("pin"),
               QRectF(row.right() - s, row.center().y() - s / 2, s, s),
               item.pinned ? GlassMaterial::accentColor() : GlassMaterial::secondaryLabelColor());
}

} // namespace

QSize CardView::cardSize() { return QSize(kCardWidth, kHeaderHeight + kPreviewHeight + kFooterHeight); }

QMargins CardView::paintMargins()
{
    // Shadow (radius 8, 2 down), glow (4), and the icon overhanging the
    // top-right corner by 10 up and about 9 to the right.
    return QMargins(12, 14, 14, 14);
}

CardView::CardView(const Clock &clock)
    : m_clock(clock)
{
}

CardView::CardView()
    : CardView(SystemClock::instance())
{
}

void CardView::paint(QPainter &p, const QRect &cardRectIn, const ClipboardItem &item, const CardState &state) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF card(cardRectIn);

    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;

    // Shadow, then 1. the body: thin material with a faint white rim. One
    // cached picture per size and state, so a repaint is a single blit.
    {
        const QImage &chrome = CardChrome::body(cardRectIn.size(), state, dpr);
        const qreal pad = (chrome.deviceIndependentSize().width() - cardRectIn.width()) / 2.0;
        p.drawImage(QPointF(card.left() - pad, card.top() - pad), chrome);
    }

    // 2. Header band.
    const SrgbColor header = ItemColorCache::shared().headerColor(item);
    {
        const QRectF band(card.left() + 2, card.top() + 2, card.width() - 4, kHeaderHeight);
        QLinearGradient g(band.topLeft(), band.bottomRight());
        g.setColorAt(0, ColorSampling::adjustedColor(header, 1.0, 1.06).toQColor());
        g.setColorAt(1, ColorSampling::adjustedColor(header, 1.0, 0.82).toQColor());
        p.fillPath(TopOnlyRounded{qreal(kCornerRadius)}.path(band), g);
    }

    // 3. Header content: kind label over the relative date.
    {
        const QFont kindFont = uiFont(13, QFont::DemiBold);
        const QFont dateFont = uiFont(11);
        const QFontMetricsF kfm(kindFont, p.device()), dfm(dateFont, p.device());
        const qreal columnHeight = kfm.height() + 2 + dfm.height();
        const qreal top = card.top() + (kHeaderHeight - columnHeight) / 2;
        const qreal left = card.left() + kInnerPadding;
        const qreal width = card.width() - kInnerPadding - 0.95 * kHeaderHeight;
        p.setFont(kindFont);
        p.setPen(Qt::white);
        p.drawText(QPointF(left, top + kfm.ascent()), kfm.elidedText(CardFormat::kindLabel(item.kind), Qt::ElideRight, width));
        p.setFont(dateFont);
        p.setPen(QColor::fromRgbF(1, 1, 1, 0.88f));
        const QString date = CardFormat::relativeDateText(unixFromReferenceDate(item.createdAt), m_clock.now());
        p.drawText(QPointF(left, top + kfm.height() + 2 + dfm.ascent()), dfm.elidedText(date, Qt::ElideRight, width));
    }

    // 4. Source application icon, overhanging the top-right corner.
    if (const auto icon = AppIconColorCache::shared().sourceAppIcon(item)) {
        const qreal side = kIconScale * kHeaderHeight;
        const QRectF box(card.right() + 1 - 1 - side + kIconOffset, card.top() - kIconOffset, side, side);
        const QString key = QStringLiteral("appicon|%1|%2").arg(*item.sourceBundleID).arg(qRound(side * dpr));
        const QImage *cached = CardPictureCache::find(key);
        QImage scaled;
        if (!cached) {
            scaled = icon->scaled(QSize(qRound(side * dpr), qRound(side * dpr)), Qt::KeepAspectRatio,
                                  Qt::SmoothTransformation);
            CardPictureCache::insert(key, scaled);
            cached = &scaled;
        }
        drawPictureInto(p, *cached, box);
    }

    // 5. Preview area and footer.
    const QRectF preview(card.left(), card.top() + kHeaderHeight, card.width(), kPreviewHeight);
    CardPreviewArea::draw(p, preview, item);
    paintFooter(p, QRectF(card.left(), preview.bottom(), card.width(), card.bottom() - preview.bottom()), item);

    // 6. Selection ring with its glow.
    if (state.selected) {
        const QImage &ring = CardChrome::selectionRing(cardRectIn.size(), dpr);
        const qreal pad = (ring.deviceIndependentSize().width() - cardRectIn.width()) / 2.0;
        p.drawImage(QPointF(card.left() - pad, card.top() - pad), ring);
    }
    p.restore();
}

QPixmap CardView::renderPixmap(const ClipboardItem &item, const CardState &state, qreal devicePixelRatio) const
{
    const QMargins m = paintMargins();
    const QSize logical = cardSize().grownBy(m);
    QPixmap pixmap(logical * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    paint(p, QRect(QPoint(m.left(), m.top()), cardSize()), item, state);
    return pixmap;
}
