#include "fakefileicons.h"

#include <QImageReader>

QImage FakeFileIcons::imageThumbnail(const QString &path, int side) const
{
    ++thumbnailCalls;
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return image;
    if (image.width() > side || image.height() > side)
        image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage FakeFileIcons::typeIcon(const QString &, int side) const
{
    ++iconCalls;
    if (!hasIcons)
        return QImage();
    QImage icon(side, side, QImage::Format_ARGB32);
    icon.fill(iconColor);
    return icon;
}
