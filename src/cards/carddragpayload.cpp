#include "carddragpayload.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeData>

#include "model/clipboarditem.h"
#include "model/uuidtext.h"

namespace CardDragPayload {

QMimeData *create(const ClipboardItem &item, const QSet<QUuid> &selection)
{
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(kIdMimeType), uuidText(item.id).toUtf8());
    if (!selection.isEmpty()) {
        QJsonArray ids;
        for (const QUuid &selected : selection)
            ids.append(uuidText(selected));
        mime->setData(QString::fromLatin1(kJsonMimeType), QJsonDocument(ids).toJson(QJsonDocument::Compact));
    }
    return mime;
}

} // namespace CardDragPayload
