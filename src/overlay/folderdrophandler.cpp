#include "folderdrophandler.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeData>
#include <QRegularExpression>

#include "model/uuidtext.h"
#include "platform/logger.h"
#include "store/clipboardstore.h"

namespace {

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

std::optional<QUuid> FolderDropHandler::parseId(const QString &text)
{
    // QUuid::fromString also takes braces and other forms; only the
    // canonical 36-character text is an id here.
    static const QRegularExpression canonical(QStringLiteral(
        "^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    const QString trimmed = text.trimmed();
    if (!canonical.match(trimmed).hasMatch())
        return std::nullopt;
    return QUuid::fromString(trimmed);
}

std::optional<QList<QUuid>> FolderDropHandler::decodeIdArray(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    QList<QUuid> ids;
    for (const QJsonValue &value : doc.array()) {
        if (!value.isString())
            return std::nullopt;
        // Array elements must be exact ids: no surrounding spaces.
        const QString text = value.toString();
        const std::optional<QUuid> id = parseId(text);
        if (!id || text.trimmed() != text)
            return std::nullopt;
        ids.append(*id);
    }
    return ids;
}

bool FolderDropHandler::handleDrop(const QList<const QMimeData *> &providers,
                                   const std::optional<ClipboardFolder> &target, QPointer<ClipboardStore> store)
{
    const QString targetName = target ? target->name : QStringLiteral("Tous");
    Log::info(QStringLiteral("🟢 DROP RECEIVED: %1 provider(s), target=%2").arg(providers.size()).arg(targetName));
    for (int i = 0; i < providers.size(); ++i) {
        const QMimeData *p = providers[i];
        Log::debug(QStringLiteral("🟢 DROP: Provider[%1] canLoadString=%2, hasJSON=%3, hasText=%4")
                       .arg(i)
                       .arg(boolText(p && p->hasText()), boolText(p && p->hasFormat(QLatin1String(kJsonMimeType))),
                            boolText(p && p->hasFormat(QLatin1String(kTextMimeType)))));
    }

    for (const QMimeData *p : providers) {
        if (p && p->hasText()) {
            Log::info(QStringLiteral("🟢 DROP: Using String loadObject method"));
            loadString(p->text(), targetName, target, store);
            Log::debug(QStringLiteral("🟢 DROP: Returning true (String method)"));
            return true;
        }
    }
    for (const QMimeData *p : providers) {
        if (p && p->hasFormat(QLatin1String(kJsonMimeType))) {
            Log::info(QStringLiteral("🟢 DROP: Using JSON data fallback method"));
            loadJson(p->data(QLatin1String(kJsonMimeType)), targetName, target, store);
            Log::debug(QStringLiteral("🟢 DROP: Returning true (JSON data fallback)"));
            return true;
        }
    }
    Log::error(QStringLiteral("🟢 DROP: No suitable provider found, returning false"));
    return false;
}

void FolderDropHandler::loadString(const QString &text, const QString &targetName,
                                   const std::optional<ClipboardFolder> &target, QPointer<ClipboardStore> store)
{
    if (!store) {
        Log::error(QStringLiteral("🟢 DROP ERROR: Store is nil"));
        return;
    }
    Log::debug(QStringLiteral("🟢 DROP: String loaded, length=%1").arg(text.size()));
    if (const std::optional<QList<QUuid>> ids = decodeIdArray(text.toUtf8())) {
        Log::info(QStringLiteral("🟢 DROP SUCCESS: Decoded %1 UUID(s) from JSON, assigning to '%2'")
                      .arg(ids->size())
                      .arg(targetName));
        assignLater(*ids, target, store, QStringLiteral("🟢 DROP: assign() completed, selection cleared"));
        return;
    }
    if (const std::optional<QUuid> id = parseId(text)) {
        Log::info(QStringLiteral("🟢 DROP SUCCESS: Single UUID=%1..., assigning to '%2'").arg(uuidTag(*id), targetName));
        assignLater({*id}, target, store, QStringLiteral("🟢 DROP: assign() completed, selection cleared"));
        return;
    }
    Log::error(QStringLiteral("🟢 DROP ERROR: Could not parse string as JSON or UUID"));
}

void FolderDropHandler::loadJson(const QByteArray &data, const QString &targetName,
                                 const std::optional<ClipboardFolder> &target, QPointer<ClipboardStore> store)
{
    if (data.isEmpty()) {
        Log::error(QStringLiteral("🟢 DROP ERROR: No data received"));
        return;
    }
    if (!store) {
        Log::error(QStringLiteral("🟢 DROP ERROR: Store is nil (JSON fallback)"));
        return;
    }
    Log::debug(QStringLiteral("🟢 DROP: JSON data loaded, bytes=%1").arg(data.size()));
    const std::optional<QList<QUuid>> ids = decodeIdArray(data);
    if (!ids) {
        Log::error(QStringLiteral("🟢 DROP ERROR: Could not decode JSON data"));
        return;
    }
    Log::info(QStringLiteral("🟢 DROP SUCCESS: Decoded %1 UUID(s) from JSON data, assigning to '%2'")
                  .arg(ids->size())
                  .arg(targetName));
    assignLater(*ids, target, store, QStringLiteral("🟢 DROP: assign() completed (JSON fallback), selection cleared"));
}

void FolderDropHandler::assignLater(const QList<QUuid> &ids, const std::optional<ClipboardFolder> &target,
                                    QPointer<ClipboardStore> store, const QString &doneLine)
{
    // The drop is answered first; the move follows on the next event-loop
    // turn and is skipped when the store went away meanwhile.
    QMetaObject::invokeMethod(
        store.data(),
        [store, ids, target, doneLine] {
            if (!store)
                return;
            store->assign(QSet<QUuid>(ids.cbegin(), ids.cend()), target);
            store->setSelection({});
            Log::info(doneLine);
        },
        Qt::QueuedConnection);
}
