#pragma once

#include <optional>

#include <QSettings>

// Bramblet.conf on disk. The readable form, registered with QSettings: a
// comment at the top, then one "key=value" line per setting, sorted by key,
// each value one of the text forms of SettingsValue (held in the map as that
// text). Lines starting with '#' or ';', blank lines and lines without '='
// are skipped when reading.
namespace SettingsFile {

QSettings::Format readableFormat();

// The settings of a file written by version 0.1.0 (QSettings' INI format,
// keys under "[General]", values tagged "bool:", "string:" or "bytes:" plus
// Base64), converted to the text forms; none when the file at `path` is not
// in that form. A value whose tag or Base64 does not decode is left out
// (logged).
std::optional<QSettings::SettingsMap> readVersion010(const QString &path);

} // namespace SettingsFile
