#include "imageconversion.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

namespace {

QByteArray tiffData(const QImage &image)
{
    QByteArray tiff;
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    if (!writer.write(image))
        return QByteArray();
    return tiff;
}

} // namespace

namespace ImageConversion {

Result toStoredTiff(const QByteArray &bytes, const QString &mimeType)
{
    Result result;
    const QImage image = QImage::fromData(bytes);
    if (image.isNull()) {
        result.error = QStringLiteral("Watcher: clipboard image not decodable (%1, %2 bytes), skipped").arg(mimeType).arg(bytes.size());
        return result;
    }
    result.size = image.size();
    // A TIFF is kept byte for byte; other types are converted once.
    result.tiff = mimeType == QLatin1String("image/tiff") ? bytes : tiffData(image);
    if (result.tiff.isEmpty())
        result.error = QStringLiteral("Watcher: clipboard image could not be converted to TIFF, skipped");
    return result;
}

} // namespace ImageConversion
