#include "cardpicturecache.h"

#include <QByteArray>
#include <QCache>
#include <QSize>

namespace CardPictureCache {

namespace {

QCache<QString, QImage> &cache()
{
    static QCache<QString, QImage> pictures(96 * 1024); // cost in KiB
    return pictures;
}

qsizetype costOf(const QImage &image) { return qMax<qsizetype>(1, image.sizeInBytes() / 1024); }

} // namespace

const QImage *find(const QString &key) { return cache().object(key); }

bool insert(const QString &key, const QImage &image)
{
    return cache().insert(key, new QImage(image), costOf(image));
}

QImage scaledPicture(const QString &key, const QByteArray &bytes, const QSize &box, Fit fit)
{
    const QString fullKey = QStringLiteral("%1|%2x%3|%4|%5").arg(key).arg(box.width()).arg(box.height())
                                .arg(int(fit)).arg(bytes.size());
    if (const QImage *hit = find(fullKey))
        return *hit;
    const QImage scaled = scaledTo(QImage::fromData(bytes), box, fit);
    insert(fullKey, scaled);
    return scaled;
}

QImage scaledTo(const QImage &image, const QSize &box, Fit fit)
{
    if (image.isNull() || box.isEmpty())
        return {};
    return image.scaled(box, fit == Fit::Fill ? Qt::KeepAspectRatioByExpanding : Qt::KeepAspectRatio,
                        Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace CardPictureCache
