#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include "clipboarditem.h"
#include "clipboardfolder.h"

class JsonArrayStream;
class PayloadFile;

// The JSON forms of clips and folders, which are the history files' format.
//
// Writing: compact; the keys are the field names; the seven always-present
// clip keys come first and each optional field is written only when it holds
// a value. Ids are upper-case canonical UUIDs, dates seconds since 2001 with
// fraction, bytes standard Base64 with padding.
//
// Reading: "id", "kind", "preview", "dataUTI", "raw", "createdAt" and
// "pinned" (a folder: "id", "name", "createdAt") are required with their JSON
// types; an optional key may be missing or null; unknown keys are ignored;
// ids are read in either case. A record that breaks a rule fails alone: the
// array readers keep every record that decodes and say what went wrong.
class HistoryCodec final
{
public:
    static void appendItem(QByteArray &out, const ClipboardItem &item);
    // The record with raw's Base64 text left out (raw written as ""), for a
    // writer that puts the text in place itself; returns the offset in `out`
    // where that text belongs, just after the opening quote.
    static qsizetype appendItemWithoutRaw(QByteArray &out, const ClipboardItem &item);
    static void appendFolder(QByteArray &out, const ClipboardFolder &folder);
    static QByteArray encodeItem(const ClipboardItem &item);
    static QByteArray encodeFolder(const ClipboardFolder &folder);
    static QByteArray encodeItems(const QList<ClipboardItem> &items);
    static QByteArray encodeFolders(const QList<ClipboardFolder> &folders);

    // One record from one JSON object; on failure `why` (when given) says
    // which rule broke, e.g. missing "pinned".
    static std::optional<ClipboardItem> decodeItem(QByteArrayView json, QString *why = nullptr);
    static std::optional<ClipboardFolder> decodeFolder(QByteArrayView json, QString *why = nullptr);

    template<typename Record>
    struct Decoded {
        QList<Record> records;
        qsizetype skipped = 0; // elements that did not decode
        // Empty when every byte read as a well-formed array of valid records;
        // otherwise the first fault, e.g. `record 2: missing "pinned"`.
        QString problem;
        bool clean() const { return problem.isEmpty(); }
    };

    // With `file`, the file `stream` reads: a large "raw" value is left
    // there as a stored Payload instead of being decoded.
    static Decoded<ClipboardItem> decodeItems(JsonArrayStream &stream,
                                              const std::shared_ptr<PayloadFile> &file = {});
    static Decoded<ClipboardFolder> decodeFolders(JsonArrayStream &stream);
    static Decoded<ClipboardItem> decodeItems(QByteArrayView json);
    static Decoded<ClipboardFolder> decodeFolders(QByteArrayView json);

    // Canonical 36-character UUID text, in either case; nothing otherwise.
    static std::optional<QUuid> parseUuid(QByteArrayView text);
};
