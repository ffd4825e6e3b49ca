#pragma once

#include <optional>

#include <QList>
#include <QPointer>
#include <QString>
#include <QUuid>

#include "model/clipboardfolder.h"

class ClipboardStore;
class QMimeData;

// What happens when cards are dropped on a folder chip. Every drop offers its
// payloads in order ("providers"); the first that carries text wins and is
// read as a JSON array of ids or, failing that, one id; otherwise the first
// that carries JSON data is read as a JSON array of ids. The clips are then
// moved, on the next turn of the event loop, into the target folder (none:
// out of any folder) and the selection is emptied. Each step logs its
// "🟢 DROP" line. Main thread only.
class FolderDropHandler final
{
public:
    // MIME types read from a payload.
    static constexpr char kTextMimeType[] = "text/plain";
    static constexpr char kJsonMimeType[] = "application/json";

    // Returns true when a provider could be read (the drop is accepted,
    // even if its content then proves unusable), false when none carries
    // text or JSON. `store` may be gone by the time the data is read: the
    // drop then changes nothing.
    static bool handleDrop(const QList<const QMimeData *> &providers,
                           const std::optional<ClipboardFolder> &target, QPointer<ClipboardStore> store);

    // A JSON array whose every element is a UUID string; empty on anything else.
    static std::optional<QList<QUuid>> decodeIdArray(const QByteArray &json);
    // One UUID in its 36-character form (any letter case) after trimming
    // whitespace and line breaks at both ends; empty on anything else.
    static std::optional<QUuid> parseId(const QString &text);

private:
    static void loadString(const QString &text, const QString &targetName,
                           const std::optional<ClipboardFolder> &target, QPointer<ClipboardStore> store);
    static void loadJson(const QByteArray &data, const QString &targetName,
                         const std::optional<ClipboardFolder> &target, QPointer<ClipboardStore> store);
    static void assignLater(const QList<QUuid> &ids, const std::optional<ClipboardFolder> &target,
                            QPointer<ClipboardStore> store, const QString &doneLine);
};
