#pragma once

#include <QImage>
#include <QString>

class QByteArray;
class QSize;

// The cards' pictures, kept by key across paints: decoded and scaled clip
// pictures, scaled application icons and rendered preview tiles. A strip
// repaints often, and decoding a large image or laying out a long text each
// time would not do. Bounded by memory (96 MiB), least recently used first
// out. Main thread only.
namespace CardPictureCache {

enum class Fit { Fill, Fit };

// The picture under `key`, or null when not (or no longer) kept. The pointer
// is valid until the next insert().
const QImage *find(const QString &key);
// Keeps `image` under `key`; false (and nothing kept) when it alone is larger
// than the whole cache.
bool insert(const QString &key, const QImage &image);

// `bytes` decoded and scaled to cover (Fill) or fit inside (Fit) `box`
// pixels, kept under `key` with the box and fit. Null when undecodable; a
// failure is kept too, so a corrupt picture is not decoded on every paint.
QImage scaledPicture(const QString &key, const QByteArray &bytes, const QSize &box, Fit fit);
// `image` scaled the same way; null for a null image or an empty box.
QImage scaledTo(const QImage &image, const QSize &box, Fit fit);

} // namespace CardPictureCache
