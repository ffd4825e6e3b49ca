#pragma once

#include <optional>

#include <QBuffer>
#include <QImage>
#include <QString>
#include <QUuid>

#include "model/clipboarditem.h"

// The clips tests build, shaped as the capture builds them, so suites agree on
// what a text or an image clip looks like.
namespace ClipSamples {

inline ClipboardItem text(const QString &text, double createdAt = 100, std::optional<QUuid> folder = std::nullopt)
{
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.kind = ClipKind::Text;
    item.preview = text;
    item.dataUTI = QStringLiteral("public.plain-text");
    item.raw = text.toUtf8();
    item.createdAt = createdAt;
    item.folderId = folder;
    item.textCharCount = text.size();
    return item;
}

// An image clip of `bytes` bytes of varied (not compressible to nothing) data.
inline ClipboardItem image(qsizetype bytes, double createdAt = 100)
{
    ClipboardItem item = text(QStringLiteral("Image"), createdAt);
    item.kind = ClipKind::Image;
    item.dataUTI = QStringLiteral("public.tiff");
    QByteArray raw(bytes, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes; ++i)
        raw[i] = char(i * 131 + (i >> 9));
    item.raw = raw;
    item.textCharCount.reset();
    return item;
}

// `image` encoded as `format` would be on a clipboard; `quality` as QImage::save
// takes it (80 makes PNG use zlib level 1, quick for large test pictures).
inline QByteArray encoded(const QImage &image, const char *format = "PNG", int quality = -1)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return out;
}

// A PNG of one colour (with an alpha channel only when it is translucent).
inline QByteArray png(int width, int height, const QColor &colour)
{
    QImage image(width, height, colour.alpha() < 255 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(colour);
    return encoded(image);
}

} // namespace ClipSamples
