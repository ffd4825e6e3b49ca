#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

// What we put on the clipboard in one write: typed byte entries, in order of
// preference, and optionally an image that the backend offers in every image
// type the toolkit can encode. Empty content clears the clipboard.
struct ClipboardContent
{
    QList<QPair<QString, QByteArray>> entries; // MIME type, bytes
    QImage image;

    bool isEmpty() const { return entries.isEmpty() && image.isNull(); }
    bool operator==(const ClipboardContent &) const = default;
};
