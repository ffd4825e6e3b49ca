#include "imageconversion.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include "capture/imagelimits.h"
#include "capture/tiffstorage.h"

namespace {

// An offered TIFF is kept byte for byte when re-encoding would gain little
// (already compressed) or could lose something a QImage does not hold (more
// than one page, CMYK, Lab, more than 16 bits per sample). Only an
// uncompressed single picture of plain pixels is compressed.
bool keepOfferedTiff(const QByteArray &bytes)
{
    const auto layout = TiffStorage::inspect(bytes);
    if (!layout)
        return true; // Qt decoded it, libtiff cannot describe it: leave it alone
    return layout->compressed || layout->pages != 1 || !layout->plainPixels;
}

} // namespace

namespace ImageConversion {

Result toStoredTiff(const QByteArray &bytes, const QString &mimeType)
{
    Result result;
    QByteArray data = bytes; // shared; QBuffer only reads it
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The size comes from the header: a picture too large is refused before
    // any pixel is decoded.
    const QSize announced = reader.size();
    if (announced.isValid() && !ImageLimits::accepts(announced)) {
        result.error = QStringLiteral("Watcher: clipboard image of %1×%2 px is larger than %3×%3 px, skipped")
                           .arg(announced.width())
                           .arg(announced.height())
                           .arg(ImageLimits::kMaxSide);
        return result;
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        result.error = QStringLiteral("Watcher: clipboard image not decodable (%1, %2 bytes), skipped").arg(mimeType).arg(bytes.size());
        return result;
    }
    if (!ImageLimits::accepts(image.size())) {
        result.error = QStringLiteral("Watcher: clipboard image of %1×%2 px is larger than %3×%3 px, skipped")
                           .arg(image.width())
                           .arg(image.height())
                           .arg(ImageLimits::kMaxSide);
        return result;
    }
    result.size = image.size();
    if (mimeType == QLatin1String("image/tiff") && keepOfferedTiff(bytes))
        result.tiff = bytes;
    else
        result.tiff = TiffStorage::compressed(image);
    if (result.tiff.isEmpty())
        result.error = QStringLiteral("Watcher: clipboard image could not be converted to TIFF, skipped");
    return result;
}

} // namespace ImageConversion
