#include "instancecommandhandler.h"

#include <algorithm>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

#include "model/referencedate.h"
#include "model/uuidtext.h"
#include "platform/logger.h"
#include "store/clipboardstore.h"

namespace {

InstanceReply failure(const QString &message, int code = CliCommand::ExitFailed)
{
    InstanceReply r;
    r.exitCode = code;
    r.err = message + u'\n';
    return r;
}

QString oneLine(const QString &text, int maxChars)
{
    QString line = text.simplified();
    if (line.size() > maxChars)
        line = line.left(maxChars - 1) + QStringLiteral("…");
    return line;
}

QString folderName(const QList<ClipboardFolder> &folders, const std::optional<QUuid> &id)
{
    if (!id)
        return QString();
    for (const ClipboardFolder &f : folders) {
        if (f.id == *id)
            return f.name;
    }
    return QString();
}

} // namespace

InstanceCommandHandler::InstanceCommandHandler(ClipboardStore &store, Actions actions)
    : m_store(store)
    , m_actions(std::move(actions))
{
}

QList<ClipboardItem> InstanceCommandHandler::newestFirst(const QList<ClipboardItem> &items)
{
    QList<ClipboardItem> out = items;
    std::stable_sort(out.begin(), out.end(),
                     [](const ClipboardItem &a, const ClipboardItem &b) { return a.createdAt > b.createdAt; });
    return out;
}

InstanceReply InstanceCommandHandler::handle(const CliCommand &command)
{
    switch (command.kind) {
    case CliCommand::Kind::Start:
    case CliCommand::Kind::Settings:
        if (m_actions.openSettings)
            m_actions.openSettings();
        return {CliCommand::ExitOk, QStringLiteral("Bramblet tourne déjà : ses réglages sont ouverts.\n"), {}};
    case CliCommand::Kind::Toggle:
        if (m_actions.toggleOverlay)
            m_actions.toggleOverlay();
        return {};
    case CliCommand::Kind::Quit:
        if (m_actions.quit)
            m_actions.quit();
        return {CliCommand::ExitOk, QStringLiteral("Bramblet s’arrête.\n"), {}};
    case CliCommand::Kind::List:
        return list(command);
    case CliCommand::Kind::Copy:
        return copy(command);
    case CliCommand::Kind::Help:
    case CliCommand::Kind::Version:
    case CliCommand::Kind::Invalid:
        break;
    }
    return failure(command.error.isEmpty() ? QStringLiteral("Requête invalide.") : command.error, CliCommand::ExitUsage);
}

InstanceReply InstanceCommandHandler::list(const CliCommand &command) const
{
    const QList<ClipboardFolder> &folders = m_store.folders();
    std::optional<QUuid> onlyFolder;
    if (command.folder) {
        auto match = std::find_if(folders.cbegin(), folders.cend(),
                                  [&](const ClipboardFolder &f) { return f.name == *command.folder; });
        if (match == folders.cend()) {
            match = std::find_if(folders.cbegin(), folders.cend(), [&](const ClipboardFolder &f) {
                return f.name.compare(*command.folder, Qt::CaseInsensitive) == 0;
            });
        }
        if (match == folders.cend())
            return failure(QStringLiteral("Aucun dossier nommé « %1 ».").arg(*command.folder));
        onlyFolder = match->id;
    }

    const QList<ClipboardItem> all = newestFirst(m_store.items());
    QJsonArray array;
    QString text;
    int shown = 0;
    for (int i = 0; i < all.size(); ++i) {
        const ClipboardItem &item = all[i];
        if (onlyFolder && item.folderId != onlyFolder)
            continue;
        if (command.limit && shown >= *command.limit)
            break;
        ++shown;
        const QString folder = folderName(folders, item.folderId);
        if (command.json) {
            QJsonObject o;
            o.insert(QStringLiteral("index"), i + 1);
            o.insert(QStringLiteral("id"), uuidText(item.id));
            o.insert(QStringLiteral("kind"), clipKindRawValue(item.kind));
            o.insert(QStringLiteral("pinned"), item.pinned);
            o.insert(QStringLiteral("folder"), folder.isEmpty() ? QJsonValue() : QJsonValue(folder));
            o.insert(QStringLiteral("createdAt"),
                     QDateTime::fromMSecsSinceEpoch(unixMSecsClamped(unixFromReferenceDate(item.createdAt)), Qt::UTC)
                         .toString(Qt::ISODate));
            o.insert(QStringLiteral("preview"), item.preview);
            array.append(o);
        } else {
            QString line = QStringLiteral("%1  %2  %3  ").arg(i + 1, 3).arg(uuidTag(item.id)).arg(clipKindRawValue(item.kind), -7);
            if (item.pinned)
                line += QStringLiteral("📌 ");
            if (!folder.isEmpty())
                line += u'[' + folder + QStringLiteral("] ");
            line += oneLine(item.preview, 100);
            text += line + u'\n';
        }
    }
    InstanceReply reply;
    reply.out = command.json ? QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)) : text;
    return reply;
}

InstanceReply InstanceCommandHandler::copy(const CliCommand &command)
{
    const QList<ClipboardItem> all = newestFirst(m_store.items());
    const QString target = command.target;
    std::optional<ClipboardItem> found;

    // A number in range is a rank from `list`; anything else is an id or an
    // id prefix, which may be all digits too (such as "12345678").
    bool isNumber = false;
    const int index = target.toInt(&isNumber);
    if (isNumber && index >= 1 && index <= all.size()) {
        found = all[index - 1];
    } else {
        const QUuid exact(target);
        QList<ClipboardItem> matches;
        for (const ClipboardItem &item : all) {
            if (!exact.isNull() ? item.id == exact
                                : (target.size() >= 4 && uuidText(item.id).startsWith(target, Qt::CaseInsensitive)))
                matches.append(item);
        }
        if (matches.isEmpty() && isNumber)
            return failure(QStringLiteral("Aucun élément au rang %1 (l’historique en compte %2).").arg(target).arg(all.size()));
        if (matches.isEmpty())
            return failure(QStringLiteral("Aucun élément d’identifiant « %1 ».").arg(target));
        if (matches.size() > 1)
            return failure(QStringLiteral("« %1 » désigne plusieurs éléments ; donnez plus de caractères.").arg(target));
        found = matches.first();
    }

    if (!m_actions.writeClipboard)
        return failure(QStringLiteral("Le presse-papiers n’est pas disponible."));
    // The write must not come back as a new clip.
    m_store.suppressNextCapture();
    if (!m_actions.writeClipboard(*found)) {
        m_store.cancelSuppressedCapture();
        return failure(QStringLiteral("Impossible de copier l’élément %1.").arg(uuidTag(found->id)));
    }
    Log::info(QStringLiteral("CLI: copied item %1 to the clipboard").arg(uuidTag(found->id)));
    return {CliCommand::ExitOk, QStringLiteral("Copié : %1\n").arg(oneLine(found->preview, 60)), {}};
}
