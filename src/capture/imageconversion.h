#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// Turns image bytes offered on the clipboard into what an image clip stores:
// TIFF bytes and the picture's size. The TIFF is Deflate-compressed
// (TiffStorage); an offered TIFF that is already compressed, or holds what a
// decoded picture would lose, is kept byte for byte. Pictures wider or taller
// than ImageLimits::kMaxSide are refused from their header, before decoding;
// decoding an accepted large picture needs ImageLimits::allowLargeImages()
// to have been called. Thread-safe and free of shared state, so it can run
// on a worker thread.
namespace ImageConversion {

struct Result
{
    QByteArray tiff; // empty when the image was refused
    QSize size; // set once the picture is decoded, also when encoding then fails
    // Why the image was refused (a full log line), empty on success.
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// `mimeType` is the type the bytes were offered as ("image/png", ...).
Result toStoredTiff(const QByteArray &bytes, const QString &mimeType);

} // namespace ImageConversion
