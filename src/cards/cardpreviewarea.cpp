#include "cardpreviewarea.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include "cards/cardpainting.h"
#include "cards/cardpicturecache.h"
#include "cards/cardthumbnails.h"
#include "cards/cardview.h"
#include "cards/contentdecoration.h"
#include "model/clipboarditem.h"
#include "model/uuidtext.h"
#include "styling/continuousroundedrect.h"
#include "styling/glassmaterial.h"

namespace CardPreviewArea {

namespace {

using CardPainting::drawPictureInto;
using CardPainting::drawSymbol;
using CardPainting::uiFont;
using CardPainting::withAlpha;
using Fit = CardPictureCache::Fit;

// Previews longer than this are cut before any pattern runs: capture already
// shortens them, but a hand-edited or damaged history file may not.
constexpr int kPreviewLimit = 500;

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
        QImage img = CardPictureCache::scaledPicture(id + QStringLiteral("|thumb"), *item.thumbnailPNG, box, fit);
        if (!img.isNull())
            return {img};
    }
    if (!rawAllowed)
        return {};
    // The stored image, decoded once at card size (never at full size here).
    const std::optional<QImage> picture = CardThumbnails::shared().picture(item);
    if (!picture)
        return {QImage(), true};
    return {CardPictureCache::scaledTo(*picture, box, fit)};
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

} // namespace

void draw(QPainter &p, const QRectF &area, const ClipboardItem &item)
{
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QString key = previewKey(item, area.size(), dpr);
    if (const QImage *tile = CardPictureCache::find(key)) {
        p.drawImage(area.topLeft(), *tile);
        return;
    }
    QImage fresh((area.size() * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    fresh.setDevicePixelRatio(dpr);
    fresh.fill(Qt::transparent);
    bool complete = true;
    {
        QPainter tp(&fresh);
        tp.setRenderHint(QPainter::Antialiasing);
        tp.setRenderHint(QPainter::TextAntialiasing);
        complete = paintPreview(tp, QRectF(QPointF(0, 0), area.size()), item);
    }
    // A placeholder is not kept: the picture replaces it once decoded.
    if (complete)
        CardPictureCache::insert(key, fresh);
    p.drawImage(area.topLeft(), fresh);
}

} // namespace CardPreviewArea
