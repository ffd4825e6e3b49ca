#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

// Extracts the plain text of an RTF document: paragraph and line breaks
// become "\n", tabs "\t", special-character words their characters;
// formatting, font and colour tables, pictures, metadata and other ignorable
// destinations are dropped. \uN (with \ucN skipping) and \'hh in the
// document's code page (\ansicpgN, the font's \fcharsetN; Windows-1252 by
// default) are decoded.
//
// Returns nothing for data that is not a well-formed RTF document (no
// "{\rtf" header, unbalanced or absurdly deep groups, a \bin running past the
// end). Never throws; time is linear and memory bounded by the input size.
// Thread-safe.
namespace RtfPlainText {

std::optional<QString> convert(const QByteArray &rtf);

// Deepest group nesting accepted before the document counts as malformed.
inline constexpr int kMaxDepth = 256;

} // namespace RtfPlainText
