#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// Turns image bytes offered on the clipboard into what an image clip stores:
// TIFF bytes and the picture's size. Thread-safe and free of shared state,
// so it can run on a worker thread.
namespace ImageConversion {

struct Result
{
    QByteArray tiff; // empty when the image was refused
    QSize size;
    // Why the image was refused (a full log line), empty on success.
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// `mimeType` is the type the bytes were offered as ("image/png", ...).
Result toStoredTiff(const QByteArray &bytes, const QString &mimeType);

} // namespace ImageConversion
