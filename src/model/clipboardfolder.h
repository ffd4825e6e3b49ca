#pragma once

#include <QString>
#include <QUuid>

// A user folder that clips can be moved into.
struct ClipboardFolder
{
    QUuid id;
    QString name;
    double createdAt = 0; // seconds since 2001-01-01 UTC

    bool operator==(const ClipboardFolder &) const = default;
};
