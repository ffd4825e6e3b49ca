#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QUuid>

#include "clipkind.h"
#include "payload.h"

// A clip's content signature (see ClipboardStore::signature) worked out where
// the clip was built, so that a large clip is hashed once, off the main
// thread. A memo, not content: never written to the history files, and any
// two memos compare equal so that it never decides whether clips are equal.
struct SignatureMemo
{
    QString hex; // empty: not worked out
    bool operator==(const SignatureMemo &) const { return true; }
};

// One captured copy (a clip). A plain value; the store's lists own the live ones.
struct ClipboardItem
{
    QUuid id;
    ClipKind kind = ClipKind::Text;
    QString preview;
    QString dataUTI;
    Payload raw; // large contents may be read from the history file on demand
    double createdAt = 0; // seconds since 2001-01-01 UTC
    bool pinned = false;
    std::optional<QUuid> folderId;
    std::optional<QString> sourceBundleID;
    std::optional<QString> fileURLString;
    std::optional<QString> fileName;
    std::optional<QString> fileExt;
    std::optional<QByteArray> thumbnailPNG;
    std::optional<qint64> textCharCount;
    // Set only with the signature of this kind and raw; cleared by the store.
    SignatureMemo signature;

    // True when fileExt names an image type in the MIME database.
    bool isImageFile() const;

    bool operator==(const ClipboardItem &) const = default;
};
