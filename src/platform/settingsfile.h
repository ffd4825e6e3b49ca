#pragma once

#include <QMap>
#include <QString>

// Bramblet.conf on disk: a comment at the top, then one "key=value" line per
// setting, sorted by key, each value in the text forms of SettingsValue.
// Lines starting with '#' or ';', blank lines and lines without '=' are
// skipped when reading. A file written by version 0.1.0 (keys under
// "[General]", values tagged "bool:", "string:" or "bytes:" plus Base64, in
// Qt's INI escaping) is read too, its values converted to the text forms.
namespace SettingsFile {

// Key → value text.
using Values = QMap<QString, QString>;

// The settings in the file at `path`; none when it is missing or unreadable.
// A 0.1.0 value whose tag or Base64 does not decode is left out (logged).
Values read(const QString &path);

// Replaces the file atomically (temporary file, flushed to disk, renamed).
// False, with one log line, when that fails; the old file is then unchanged.
bool write(const QString &path, const Values &values);

} // namespace SettingsFile
