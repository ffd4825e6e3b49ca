#include "clipboarditem.h"

#include <QMimeDatabase>

bool ClipboardItem::isImageFile() const
{
    if (!fileExt || fileExt->isEmpty())
        return false;
    static const QMimeDatabase db;
    const QList<QMimeType> types = db.mimeTypesForFileName(QStringLiteral("x.") + *fileExt);
    for (const QMimeType &t : types) {
        if (t.name().startsWith(QLatin1String("image/")))
            return true;
    }
    return false;
}
