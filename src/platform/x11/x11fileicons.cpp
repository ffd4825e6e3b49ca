#include "x11fileicons.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>

QImage X11FileIcons::imageThumbnail(const QString &path, int side) const
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    // Formats that decode at a reduced size (JPEG) then never hold the full
    // picture in memory.
    if (size.isValid() && (size.width() > side || size.height() > side))
        reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return image;
    if (image.width() > side || image.height() > side)
        image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage X11FileIcons::typeIcon(const QString &path, int side) const
{
    const QFileInfo info(path);
    QIcon icon;
    if (info.isDir()) {
        icon = QIcon::fromTheme(QStringLiteral("folder"));
    } else {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    }
    if (icon.isNull())
        icon = QFileIconProvider().icon(info);
    if (icon.isNull())
        return QImage();
    return icon.pixmap(side, side).toImage();
}
