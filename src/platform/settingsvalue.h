#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

// The text of one value in Bramblet.conf, meant to be read and edited by a
// person: a boolean is true or false, a string is written in double quotes
// (JSON escapes), bytes holding one line of JSON (the shortcut) are that JSON
// itself, and any other bytes are "bytes:" followed by Base64. Each reader
// accepts only its own form, so a value written as one type reads as absent
// as any other.
namespace SettingsValue {

QString fromBool(bool value);
QString fromString(const QString &value);
QString fromBytes(const QByteArray &value);

std::optional<bool> toBool(const QString &text);
std::optional<QString> toString(const QString &text);
std::optional<QByteArray> toBytes(const QString &text);

} // namespace SettingsValue
