#pragma once

#include <optional>

#include <QString>

#include "model/clipkind.h"

struct ClipboardItem;

// The French texts of a card: kind label, relative date, byte size and
// character count. Pure; any thread.
namespace CardFormat {

// "Texte", "RTF", "URL", "Image", "Fichier", "Inconnu".
QString kindLabel(ClipKind kind);

// `date` relative to `now` (both seconds since 1970), abbreviated French with
// the largest calendar unit that is not zero, truncated: "il y a 5 min",
// "il y a 2 h", "dans 3 j", "il y a 2 sem.", "il y a 4 m.", "il y a 1 a",
// "il y a 0 s" for the present moment.
QString relativeDateText(double date, double now);

// A file size in decimal units, French: "Zéro Ko", "1 octet", "12 octets",
// "3 Ko", "1,2 Mo", "1,23 Go" (Ko without decimals, Mo one, Go and up two;
// no trailing zeros).
QString byteCountText(qint64 bytes);

// textCharCount when set; else for RTF the grapheme count of its plain text,
// for text and URL clips that of the UTF-8 text; none when that decoding
// fails and for other kinds.
std::optional<qint64> characterCount(const ClipboardItem &item);

// "%lld caractères" with n, or the byte size of `raw` when there is no count.
QString footerText(const ClipboardItem &item);

// Number of user-perceived characters (extended grapheme clusters).
qint64 graphemeCount(const QString &text);

} // namespace CardFormat
