#pragma once

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QUrl>

#include "support/clipsamples.h"

// Clips of every kind as the capture makes them, for the card tests and the
// gallery; a text clip is ClipSamples::text, the others start from it.
namespace CardSamples {

inline QImage landscape(QSize size = QSize(480, 320))
{
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(40, 120, 220));
    sky.setColorAt(0.6, QColor(250, 170, 90));
    sky.setColorAt(1, QColor(250, 140, 60));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 140));
    p.drawEllipse(QPointF(size.width() * 0.7, size.height() * 0.55), size.height() * 0.12, size.height() * 0.12);
    p.setBrush(QColor(30, 90, 60));
    const qreal w = size.width(), h = size.height();
    p.drawPolygon(QPolygonF{{0, h}, {0, h * 0.7}, {w * 0.3, h * 0.55}, {w * 0.6, h * 0.75}, {w, h * 0.6}, {w, h}});
    return img;
}

// A clip of `kind` with `raw`, its preview text and its type.
inline ClipboardItem clip(ClipKind kind, const QByteArray &raw, const QString &preview = {}, const QString &uti = {},
                          double createdAt = 0)
{
    ClipboardItem item = ClipSamples::text(preview, createdAt);
    item.kind = kind;
    item.raw = raw;
    item.dataUTI = uti;
    item.textCharCount.reset();
    return item;
}

inline ClipboardItem rtf(double createdAt)
{
    return clip(ClipKind::Rtf,
                "{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0\\b Compte rendu\\b0\\par "
                "R\\'e9union de lundi : budget valid\\'e9, prochaine \\'e9tape en mai.\\par}",
                QStringLiteral("Compte rendu\nRéunion de lundi : budget validé, prochaine étape en mai.\n"),
                QStringLiteral("public.rtf"), createdAt);
}

inline ClipboardItem url(double createdAt)
{
    const QString link = QStringLiteral("https://www.example.org/articles/2024/les-nouveautes-du-presse-papiers?ref=bramblet");
    return clip(ClipKind::Url, link.toUtf8(), link, QStringLiteral("public.url"), createdAt);
}

inline ClipboardItem image(double createdAt)
{
    ClipboardItem item = clip(ClipKind::Image, ClipSamples::encoded(landscape(), "BMP"), QStringLiteral("Image"),
                              QStringLiteral("public.tiff"), createdAt);
    item.thumbnailPNG = ClipSamples::encoded(landscape(QSize(240, 160)));
    return item;
}

// A copied file: a picture (with its thumbnail) or a document.
inline ClipboardItem file(const char *folder, const char *utf8Name, double createdAt)
{
    const QString name = QString::fromUtf8(utf8Name);
    const QString link = QStringLiteral("file:///home/camille/%1/%2")
                             .arg(QString::fromUtf8(folder), QString::fromUtf8(QUrl::toPercentEncoding(name)));
    ClipboardItem item = clip(ClipKind::FileURL, link.toUtf8(), name, QStringLiteral("public.file-url"), createdAt);
    item.fileURLString = link;
    item.fileName = name;
    item.fileExt = name.section(u'.', -1);
    if (item.fileExt == QStringLiteral("PNG"))
        item.thumbnailPNG = ClipSamples::encoded(landscape(QSize(256, 170)));
    return item;
}

} // namespace CardSamples
