#pragma once

#include <QString>
#include <QUuid>

// Canonical 36-character upper-case form, as files and logs write ids.
inline QString uuidText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

// First 8 characters of the canonical form, as log lines cut ids.
inline QString uuidTag(const QUuid &id)
{
    return uuidText(id).left(8);
}
