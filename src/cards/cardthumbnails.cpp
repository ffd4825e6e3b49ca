#include "cardthumbnails.h"

#include <QBuffer>
#include <QFutureWatcher>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>

#include "capture/imagelimits.h"
#include "model/clipboarditem.h"
#include "model/uuidtext.h"

namespace {

QString keyOf(const ClipboardItem &item)
{
    // The size tells a clip whose bytes were replaced from the one decoded.
    return uuidText(item.id) + u'|' + QString::number(item.raw.size());
}

qsizetype costOf(const QImage &image) { return qMax<qsizetype>(1, image.sizeInBytes() / 1024); }

// The picture's size from its header; invalid when the header does not say.
QSize announcedSize(const QByteArray &bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

} // namespace

CardThumbnails::CardThumbnails(QObject *parent)
    : QObject(parent)
    , m_cache(64 * 1024) // about 80 card pictures
{
}

CardThumbnails::~CardThumbnails() = default;

CardThumbnails &CardThumbnails::shared()
{
    static auto *thumbnails = new CardThumbnails();
    return *thumbnails;
}

QImage CardThumbnails::decode(const QByteArray &bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && !ImageLimits::accepts(full))
        return {};
    const bool shrink = full.isValid() && full.width() > kCoverBox.width() && full.height() > kCoverBox.height();
    const QSize target = full.scaled(kCoverBox, Qt::KeepAspectRatioByExpanding);
    // JPEG scales while decoding; other formats decode whole and are scaled
    // below, smoothly.
    if (shrink && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(target);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.width() > kCoverBox.width() && image.height() > kCoverBox.height())
        image = image.scaled(image.size().scaled(kCoverBox, Qt::KeepAspectRatioByExpanding), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    image.setDevicePixelRatio(1.0);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::optional<QImage> CardThumbnails::picture(const ClipboardItem &item)
{
    const QString key = keyOf(item);
    if (const QImage *hit = m_cache.object(key))
        return *hit;
    if (m_pending.contains(key))
        return std::nullopt;

    // A large content may have to be read from the history file: that, too,
    // happens on the worker.
    const std::optional<QByteArray> held = item.raw.isLarge() ? std::nullopt : item.raw.heldBytes();
    const QSize size = held ? announcedSize(*held) : QSize();
    if (held && (!size.isValid() || qint64(size.width()) * size.height() <= kInlinePixels)) {
        // Small: decoding costs less than a frame. Failures are kept too (as a
        // null image) so corrupt bytes are not decoded on every paint.
        const QImage image = decode(*held);
        m_cache.insert(key, new QImage(image), costOf(image));
        return image;
    }

    m_pending.insert(key);
    const QUuid id = item.id;
    auto *watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, key, id] {
        const QImage image = watcher->result();
        watcher->deleteLater();
        m_pending.remove(key);
        m_cache.insert(key, new QImage(image), costOf(image));
        emit pictureReady(id);
    });
    watcher->setFuture(QtConcurrent::run([payload = item.raw] { return decode(payload.bytes()); }));
    return std::nullopt;
}
