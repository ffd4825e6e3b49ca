#pragma once

#include <optional>

#include <QString>

// What a clip's raw bytes hold. The raw value is the history files' form.
enum class ClipKind { Text, Rtf, Url, Image, FileURL, Unknown };

QString clipKindRawValue(ClipKind kind);
// Empty when `raw` is none of the six raw values.
std::optional<ClipKind> clipKindFromRawValue(QStringView raw);
