#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

// The plain text of an RTF document: paragraph and line breaks as "\n", tabs
// and cells as "\t", \'hh bytes through Windows-1252, \uN with its \ucN
// fallback skipped, font/colour/style tables, pictures, fields' instructions
// and other ignorable destinations dropped. Fails (none) for data that does
// not start with "{\rtf" or whose braces do not balance. Any thread.
namespace RtfPlainText {

std::optional<QString> extract(const QByteArray &rtf);

} // namespace RtfPlainText
