#include "cardview.h"

#include <QCache>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLinearGradient>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QTextLayout>

#include "appiconcolorcache.h"
#include "cardformat.h"
#include "cardthumbnails.h"
#include "colorsampling.h"
#include "contentdecoration.h"
#include "itemcolorcache.h"
#include "model/clipboarditem.h"
#include "model/referencedate.h"
#include "model/uuidtext.h"
#include "platform/systemclock.h"
#include "store/clipboardstore.h"
#include "styling/continuousroundedrect.h"
#include "styling/glassmaterial.h"
#include "styling/imageblur.h"
#include "styling/symbolicons.h"
#include "styling/toponlyrounded.h"

namespace {

constexpr qreal kShadowRadiusSelected = 8;
constexpr qreal kShadowRadius = 4;
constexpr qreal kShadowOffsetY = 2;
constexpr qreal kIconScale = 1.6;
constexpr qreal kIconOffset = 10;
// Previews longer than this are cut before any pattern runs: capture already
// shortens them, but a hand-edited or damaged history file may not.
constexpr int kPreviewLimit = 500;

// Sizes below are the layout's points, drawn 1:1 as pixels at 96 dpi.
QFont uiFont(qreal size, QFont::Weight weight = QFont::Normal)
{
    QFont f;
    f.setPointSizeF(size * 0.75);
    f.setWeight(weight);
    return f;
}

QColor withAlpha(QColor c, qreal alpha)
{
    c.setAlphaF(float(alpha));
    return c;
}

// Decoded pictures, already scaled for their box, by clip and purpose; a
// strip repaints often and decoding a large image each time would not do.
QCache<QString, QImage> &imageCache()
{
    static QCache<QString, QImage> cache(96 * 1024); // cost in KiB
    return cache;
}

QCache<QString, QString> &footerCache()
{
    static QCache<QString, QString> cache(4096);
    return cache;
}

enum class Fit { Fill, Fit };

// Decodes `bytes` (cached under `key`) and scales it to cover (Fill) or fit
// inside (Fit) `box` pixels. Null when undecodable.
QImage scaledPicture(const QString &key, const QByteArray &bytes, const QSize &box, Fit fit)
{
    const QString fullKey = QStringLiteral("%1|%2x%3|%4|%5").arg(key).arg(box.width()).arg(box.height())
                                .arg(int(fit)).arg(bytes.size());
    if (QImage *hit = imageCache().object(fullKey))
        return *hit;
    QImage decoded = QImage::fromData(bytes);
    QImage scaled;
    if (!decoded.isNull() && !box.isEmpty()) {
        scaled = decoded.scaled(box, fit == Fit::Fill ? Qt::KeepAspectRatioByExpanding : Qt::KeepAspectRatio,
                                Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    // Remember failures too (as a null image) so a corrupt picture is not
    // decoded again on every paint.
    imageCache().insert(fullKey, new QImage(scaled), qMax<qsizetype>(1, scaled.sizeInBytes() / 1024));
    return scaled;
}

QImage scaledTo(const QImage &image, const QSize &box, Fit fit)
{
    if (image.isNull() || box.isEmpty())
        return {};
    return image.scaled(box, fit == Fit::Fill ? Qt::KeepAspectRatioByExpanding : Qt::KeepAspectRatio,
                        Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A picture for the card, or none yet while its decoding runs on a worker.
struct CardPicture
{
    QImage image;
    bool pending = false;
};

CardPicture decodedPicture(const ClipboardItem &item, bool rawAllowed, const QSize &box, Fit fit)
{
    const QString id = uuidText(item.id);
    if (item.thumbnailPNG) {
        QImage img = scaledPicture(id + QStringLiteral("|thumb"), *item.thumbnailPNG, box, fit);
        if (!img.isNull())
            return {img};
    }
    if (!rawAllowed)
        return {};
    // The stored image, decoded once at card size (never at full size here).
    const std::optional<QImage> picture = CardThumbnails::shared().picture(item);
    if (!picture)
        return {QImage(), true};
    return {scaledTo(*picture, box, fit)};
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

// Shadow, material and rim of a card, rendered once per size, state and
// pixel ratio; drawn with its top-left `pad` above and left of the card.
const QImage &chromeImage(const QSize &card, const CardState &state, qreal dpr)
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
    const QRectF body(pad, pad, card.width(), card.height());
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        p.fillPath(ContinuousRoundedRect::path(body.translated(0, kShadowOffsetY), CardView::kCornerRadius),
                   QColor::fromRgbF(0, 0, 0, state.selected ? 0.2f : 0.08f));
    }
    ImageBlur::blur(img, qRound(radius * dpr));
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        const QPainterPath shape = ContinuousRoundedRect::path(body, CardView::kCornerRadius);
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

// The selection ring (accent gradient, 2.5 wide) with its accent glow.
const QImage &ringImage(const QSize &card, qreal dpr)
{
    static QHash<QString, QImage> cache;
    const QString key = QStringLiteral("%1x%2|%3").arg(card.width()).arg(card.height()).arg(dpr);
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    const int pad = 8;
    const QSizeF logical(card.width() + 2 * pad, card.height() + 2 * pad);
    QImage img((logical * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    const QRectF body(pad, pad, card.width(), card.height());
    const QPainterPath shape = ContinuousRoundedRect::path(body, CardView::kCornerRadius);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        p.strokePath(shape, QPen(withAlpha(GlassMaterial::accentColor(), 0.3), 2.5));
    }
    ImageBlur::blur(img, qRound(4 * dpr));
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        QLinearGradient g(body.topLeft(), body.bottomRight());
        g.setColorAt(0, GlassMaterial::accentColor());
        g.setColorAt(1, withAlpha(GlassMaterial::accentColor(), 0.75));
        p.strokePath(shape, QPen(QBrush(g), 2.5));
    }
    img.setDevicePixelRatio(dpr);
    return *cache.insert(key, img);
}

// Everything the preview area's picture depends on.
QString previewKey(const ClipboardItem &item, const QSizeF &size, qreal dpr)
{
    return QStringLiteral("preview|%1|%2|%3|%4|%5|%6|%7|%8|%9")
        .arg(uuidText(item.id))
        .arg(int(item.kind))
        .arg(qHash(item.preview))
        .arg(item.thumbnailPNG ? item.thumbnailPNG->size() : -1)
        .arg(item.raw.size())
        .arg(item.fileName.value_or(QString()) + u'|' + item.fileExt.value_or(QString()))
        .arg(size.width())
        .arg(size.height())
        .arg(dpr);
}

// Lays out `text` wrapped to `width` with `formats` and draws it from `origin`
// down to `maxBottom`; with `maxLines` the last visible line is elided.
void drawText(QPainter &p, const QString &text, const QFont &font, const QColor &color,
              const QList<QTextLayout::FormatRange> &formats, const QRectF &box, int maxLines = 0)
{
    // QTextLayout draws nothing for '\n'; the line separator breaks the line
    // and keeps every index, so the format ranges still line up.
    QString laidOut = text;
    laidOut.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(laidOut, font, p.device());
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setFormats(formats);
    layout.beginLayout();
    qreal y = 0;
    int lines = 0;
    bool truncated = false;
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(box.width());
        line.setPosition(QPointF(0, y));
        y += line.height();
        ++lines;
        if ((maxLines > 0 && lines >= maxLines) || y > box.height() + line.height()) {
            truncated = line.textStart() + line.textLength() < text.size();
            break;
        }
    }
    layout.endLayout();
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    p.setPen(color);
    if (maxLines > 0 && truncated && layout.lineCount() > 0) {
        for (int i = 0; i < layout.lineCount() - 1; ++i)
            layout.lineAt(i).draw(&p, box.topLeft());
        QTextLine last = layout.lineAt(layout.lineCount() - 1);
        const QString rest = text.mid(last.textStart()).simplified();
        const QString elided = QFontMetricsF(font, p.device()).elidedText(rest, Qt::ElideRight, box.width());
        p.setFont(font);
        p.drawText(QPointF(box.left(), box.top() + last.y() + last.ascent()), elided);
    } else {
        layout.draw(&p, box.topLeft());
    }
    p.restore();
}

void drawSymbol(QPainter &p, const QString &name, const QRectF &box, const QColor &color)
{
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QPixmap pm = SymbolIcons::pixmap(name, qRound(box.width()), color, dpr);
    p.drawPixmap(box.topLeft(), pm);
}

// "link"/"URL" or "questionmark.circle"/"Inconnu" over a tinted panel.
void drawLabelPanel(QPainter &p, const QRectF &area, const QColor &tint, const QString &symbol,
                    const QString &label, const QString &body)
{
    p.fillRect(area, withAlpha(tint, 0.10));
    const qreal pad = CardView::kInnerPadding;
    const QFont labelFont = uiFont(11, QFont::DemiBold);
    const QFontMetricsF fm(labelFont, p.device());
    const qreal rowHeight = qMax<qreal>(fm.height(), 11);
    drawSymbol(p, symbol, QRectF(area.left() + pad, area.top() + pad + (rowHeight - 11) / 2, 11, 11), tint);
    p.setFont(labelFont);
    p.setPen(tint);
    p.drawText(QPointF(area.left() + pad + 11 + 6, area.top() + pad + (rowHeight - fm.height()) / 2 + fm.ascent()), label);
    const QRectF bodyBox(area.left() + pad, area.top() + pad + rowHeight + 8, area.width() - 2 * pad,
                         area.height() - 2 * pad - rowHeight - 8);
    drawText(p, body, uiFont(12), Qt::white, {}, bodyBox, 4);
}


// Returns false when the preview is provisional (its picture is still being
// decoded): such a preview is drawn but not kept.
bool paintPreview(QPainter &p, const QRectF &area, const ClipboardItem &item)
{
    bool complete = true;
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const qreal pad = CardView::kInnerPadding;
    const QString previewText = item.preview.left(kPreviewLimit);
    p.save();
    p.setClipRect(area, Qt::IntersectClip);

    switch (item.kind) {
    case ClipKind::Text:
    case ClipKind::Rtf: {
        if (item.kind == ClipKind::Text) {
            if (const auto code = ContentDecoration::detectHexColor(previewText)) {
                if (const auto color = ContentDecoration::parseHexColor(*code)) {
                    p.fillRect(area, *color);
                    const QFont font = ContentDecoration::monospaceFont(16, QFont::Bold);
                    const QString label = code->toUpper();
                    const QFontMetricsF fm(font, p.device());
                    const QPointF at(area.center().x() - fm.horizontalAdvance(label) / 2,
                                     area.center().y() - fm.height() / 2 + fm.ascent());
                    p.setFont(font);
                    // A 2-pixel soft shadow: the label offset in a ring, faint.
                    p.setPen(QColor::fromRgbF(0, 0, 0, 0.10f));
                    for (int dx = -1; dx <= 1; ++dx)
                        for (int dy = -1; dy <= 1; ++dy)
                            if (dx || dy)
                                p.drawText(at + QPointF(dx * 1.5, dy * 1.5), label);
                    p.setPen(Qt::white);
                    p.drawText(at, label);
                    break;
                }
            }
        }
        const QRectF box = area.adjusted(pad, pad, -pad, -pad);
        if (ContentDecoration::looksLikeCode(previewText)) {
            const StyledText styled = ContentDecoration::highlightCode(previewText);
            drawText(p, styled.text, styled.font, Qt::white, styled.formats, box);
        } else {
            drawText(p, previewText, ContentDecoration::monospaceFont(12.5), Qt::white, {}, box);
        }
        break;
    }
    case ClipKind::Url:
        drawLabelPanel(p, area, QColor(10, 132, 255), QStringLiteral("link"), QStringLiteral("URL"), previewText);
        break;
    case ClipKind::Unknown:
        drawLabelPanel(p, area, QColor(142, 142, 147), QStringLiteral("questionmark.circle"),
                       QStringLiteral("Inconnu"), previewText);
        break;
    case ClipKind::Image: {
        const CardPicture picture = decodedPicture(item, true, (area.size() * dpr).toSize(), Fit::Fill);
        if (!picture.image.isNull()) {
            drawPictureInto(p, picture.image, area);
            break;
        }
        if (picture.pending) {
            complete = false;
            drawSymbol(p, QStringLiteral("photo"), QRectF(area.center().x() - 14, area.center().y() - 14, 28, 28),
                       GlassMaterial::secondaryLabelColor());
            break;
        }
        const QColor secondary = GlassMaterial::secondaryLabelColor();
        const QFont font = uiFont(11);
        const QFontMetricsF fm(font, p.device());
        const qreal total = 28 + 6 + fm.height();
        const qreal top = area.center().y() - total / 2;
        drawSymbol(p, QStringLiteral("photo"), QRectF(area.center().x() - 14, top, 28, 28), secondary);
        const QString text = QStringLiteral("Image illisible");
        p.setFont(font);
        p.setPen(secondary);
        p.drawText(QPointF(area.center().x() - fm.horizontalAdvance(text) / 2, top + 28 + 6 + fm.ascent()), text);
        break;
    }
    case ClipKind::FileURL: {
        const QRectF column = area.adjusted(pad, pad, -pad, -pad);
        const QFont nameFont = uiFont(12.5);
        const QFontMetricsF nfm(nameFont, p.device());
        const qreal rowHeight = qMax<qreal>(nfm.height(), 16);
        qreal rowTop = column.top();
        if (item.isImageFile() && item.thumbnailPNG) {
            const QRectF pictureBox(column.left(), column.top(), column.width(), column.height() - rowHeight - 8);
            const QImage img = decodedPicture(item, false, (pictureBox.size() * dpr).toSize(), Fit::Fill).image;
            if (!img.isNull()) {
                QPainterPath rounded = ContinuousRoundedRect::path(pictureBox, 8);
                p.save();
                p.setClipPath(rounded, Qt::IntersectClip);
                drawPictureInto(p, img, pictureBox);
                p.restore();
                rowTop = pictureBox.bottom() + 8;
            }
        }
        if (rowTop == column.top() && item.thumbnailPNG) {
            const QRectF pictureBox(column.left(), column.top(), column.width(), 96);
            const QImage img = decodedPicture(item, false, (pictureBox.size() * dpr).toSize(), Fit::Fit).image;
            if (!img.isNull()) {
                drawPictureInto(p, img, pictureBox);
                rowTop = pictureBox.bottom() + 8;
            }
        }
        // The row: doc symbol, middle-truncated name, extension badge.
        const QColor orange(255, 159, 10);
        drawSymbol(p, QStringLiteral("doc"), QRectF(column.left(), rowTop + (rowHeight - 14) / 2, 14, 14), orange);
        qreal right = column.right();
        const QString ext = item.fileExt.value_or(QString()).toUpper();
        if (!ext.isEmpty()) {
            const QFont badgeFont = uiFont(11, QFont::Bold);
            const QFontMetricsF bfm(badgeFont, p.device());
            const QString badgeText = bfm.elidedText(ext, Qt::ElideRight, 80);
            const QRectF badge(right - bfm.horizontalAdvance(badgeText) - 12, rowTop + (rowHeight - bfm.height() - 4) / 2,
                               bfm.horizontalAdvance(badgeText) + 12, bfm.height() + 4);
            p.setPen(Qt::NoPen);
            p.setBrush(GlassMaterial::quaternaryFillColor());
            p.drawRoundedRect(badge, badge.height() / 2, badge.height() / 2);
            p.setFont(badgeFont);
            p.setPen(Qt::white);
            p.drawText(QPointF(badge.left() + 6, badge.top() + 2 + bfm.ascent()), badgeText);
            right = badge.left() - 6;
        }
        const qreal nameLeft = column.left() + 14 + 6;
        const QString name = item.fileName.value_or(previewText);
        p.setFont(nameFont);
        p.setPen(Qt::white);
        p.drawText(QPointF(nameLeft, rowTop + (rowHeight - nfm.height()) / 2 + nfm.ascent()),
                   nfm.elidedText(name, Qt::ElideMiddle, qMax<qreal>(0, right - nameLeft)));
        break;
    }
    }
    p.restore();
    return complete;
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
        const QImage &chrome = chromeImage(cardRectIn.size(), state, dpr);
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
        const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
        const QString key = QStringLiteral("appicon|%1|%2").arg(*item.sourceBundleID).arg(qRound(side * dpr));
        QImage *cached = imageCache().object(key);
        if (!cached) {
            cached = new QImage(icon->scaled(QSize(qRound(side * dpr), qRound(side * dpr)), Qt::KeepAspectRatio,
                                             Qt::SmoothTransformation));
            imageCache().insert(key, cached, qMax<qsizetype>(1, cached->sizeInBytes() / 1024));
            cached = imageCache().object(key);
        }
        if (cached)
            drawPictureInto(p, *cached, box);
    }

    // 5. Preview area and footer. The preview is rendered once per content
    // and size (text layout and picture scaling are the costly parts).
    const QRectF preview(card.left(), card.top() + kHeaderHeight, card.width(), kPreviewHeight);
    {
        const QString key = previewKey(item, preview.size(), dpr);
        QImage *tile = imageCache().object(key);
        bool drawn = false;
        if (!tile) {
            auto *fresh = new QImage((preview.size() * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
            fresh->setDevicePixelRatio(dpr);
            fresh->fill(Qt::transparent);
            bool complete = true;
            {
                QPainter tp(fresh);
                tp.setRenderHint(QPainter::Antialiasing);
                tp.setRenderHint(QPainter::TextAntialiasing);
                complete = paintPreview(tp, QRectF(QPointF(0, 0), preview.size()), item);
            }
            if (complete) {
                imageCache().insert(key, fresh, qMax<qsizetype>(1, fresh->sizeInBytes() / 1024));
                tile = imageCache().object(key);
            } else {
                // A placeholder is drawn once and not kept: the picture replaces it.
                p.drawImage(preview.topLeft(), *fresh);
                delete fresh;
                drawn = true;
            }
        }
        if (tile)
            p.drawImage(preview.topLeft(), *tile);
        else if (!drawn)
            paintPreview(p, preview, item); // larger than the whole cache: draw directly
    }
    paintFooter(p, QRectF(card.left(), preview.bottom(), card.width(), card.bottom() - preview.bottom()), item);

    // 6. Selection ring with its glow.
    if (state.selected) {
        const QImage &ring = ringImage(cardRectIn.size(), dpr);
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

QMenu *CardView::createContextMenu(ClipboardStore &store, const ClipboardItem &item, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    const QUuid id = item.id;
    QPointer<ClipboardStore> storeRef(&store);

    // The pin label follows the store's record when it has one: the copy the
    // caller holds may be older than the last toggle.
    bool pinned = item.pinned;
    for (const ClipboardItem &live : store.items()) {
        if (live.id == id) {
            pinned = live.pinned;
            break;
        }
    }
    QAction *pin = menu->addAction(pinned ? QStringLiteral("Désépingler") : QStringLiteral("Épingler"));
    pin->setIcon(SymbolIcons::icon(pinned ? QStringLiteral("pin") : QStringLiteral("pin.fill"), QColor(60, 60, 67)));
    QObject::connect(pin, &QAction::triggered, menu, [storeRef, id] {
        if (storeRef)
            storeRef->togglePin(id);
    });

    menu->addSeparator();

    QMenu *move = menu->addMenu(QStringLiteral("Déplacer vers…"));
    auto idsToMove = [storeRef, id]() -> QSet<QUuid> {
        if (storeRef && storeRef->selection().contains(id))
            return storeRef->selection();
        return {id};
    };
    QAction *all = move->addAction(QStringLiteral("Tous"));
    QObject::connect(all, &QAction::triggered, menu, [storeRef, idsToMove] {
        if (storeRef)
            storeRef->assign(idsToMove(), std::nullopt);
    });
    move->addSeparator();
    for (const ClipboardFolder &folder : store.folders()) {
        QAction *a = move->addAction(folder.name);
        a->setIcon(SymbolIcons::icon(QStringLiteral("folder.fill"), QColor(60, 60, 67)));
        QObject::connect(a, &QAction::triggered, menu, [storeRef, idsToMove, folder] {
            if (storeRef)
                storeRef->assign(idsToMove(), folder);
        });
    }

    menu->addSeparator();

    QAction *remove = menu->addAction(QStringLiteral("Supprimer"));
    remove->setIcon(SymbolIcons::icon(QStringLiteral("trash"), QColor(255, 59, 48)));
    QObject::connect(remove, &QAction::triggered, menu, [storeRef, id] {
        if (!storeRef)
            return;
        if (!storeRef->selection().contains(id))
            storeRef->setSelection({id});
        storeRef->deleteSelectedItems();
    });
    return menu;
}

QMimeData *CardView::dragPayload(const ClipboardItem &item, const QSet<QUuid> &selection)
{
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(kIdMimeType), uuidText(item.id).toUtf8());
    if (!selection.isEmpty()) {
        QJsonArray ids;
        for (const QUuid &selected : selection)
            ids.append(uuidText(selected));
        mime->setData(QString::fromLatin1(kJsonMimeType), QJsonDocument(ids).toJson(QJsonDocument::Compact));
    }
    return mime;
}
