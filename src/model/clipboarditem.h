#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QUuid>

#include "clipkind.h"

// One captured copy (a clip). A plain value; the store's lists own the live ones.
struct ClipboardItem
{
    QUuid id;
    ClipKind kind = ClipKind::Text;
    QString preview;
    QString dataUTI;
    QByteArray raw;
    double createdAt = 0; // seconds since 2001-01-01 UTC
    bool pinned = false;
    std::optional<QUuid> folderId;
    std::optional<QString> sourceBundleID;
    std::optional<QString> fileURLString;
    std::optional<QString> fileName;
    std::optional<QString> fileExt;
    std::optional<QByteArray> thumbnailPNG;
    std::optional<qint64> textCharCount;

    // True when fileExt names an image type in the MIME database.
    bool isImageFile() const;

    bool operator==(const ClipboardItem &) const = default;
};
