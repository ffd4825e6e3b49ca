#include "filethumbnailer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QtConcurrent/QtConcurrentRun>

#include "platform/fileicons.h"
#include "platform/logger.h"

namespace {

QByteArray pngData(const QImage &image)
{
    if (image.isNull())
        return QByteArray();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return QByteArray();
    return png;
}

bool extensionIsImage(const QString &ext)
{
    if (ext.isEmpty())
        return false;
    static const QMimeDatabase db;
    const QList<QMimeType> types = db.mimeTypesForFileName(QStringLiteral("x.") + ext);
    for (const QMimeType &type : types) {
        if (type.name().startsWith(QLatin1String("image/")) || type.inherits(QStringLiteral("image/x-generic")))
            return true;
    }
    return false;
}

} // namespace

FileThumbnailer::FileThumbnailer(FileIcons &icons, QObject *parent) : QObject(parent), m_icons(icons)
{
    m_pool.setMaxThreadCount(1);
}

FileThumbnailer::~FileThumbnailer()
{
    m_pool.waitForDone();
}

void FileThumbnailer::start(const QUuid &id, const QString &path, const QString &ext)
{
    (void)QtConcurrent::run(&m_pool, [this, id, path, ext] {
        if (!extensionIsImage(ext)) {
            // Icons come from QIcon, which only the GUI thread may render.
            QMetaObject::invokeMethod(this, [this, id, path] { iconOnMainThread(id, path); }, Qt::QueuedConnection);
            return;
        }
        const QByteArray png = pngData(m_icons.imageThumbnail(path, kSide));
        QMetaObject::invokeMethod(this, [this, id, path, png] {
            if (png.isEmpty()) {
                Log::info(QStringLiteral("Capture: no thumbnail for %1 (image not decodable)").arg(QFileInfo(path).fileName()));
                return;
            }
            deliver(id, png);
        }, Qt::QueuedConnection);
    });
}

void FileThumbnailer::iconOnMainThread(const QUuid &id, const QString &path)
{
    const QByteArray png = pngData(m_icons.typeIcon(path, kSide));
    if (png.isEmpty())
        return;
    deliver(id, png);
}

void FileThumbnailer::deliver(const QUuid &id, const QByteArray &png)
{
    if (m_sink)
        m_sink(id, png);
}

void FileThumbnailer::waitForIdle()
{
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}
