#pragma once

#include <QString>

// Text measured in extended grapheme clusters (what a reader sees as one
// character: an emoji sequence, a flag, a letter with its accents).
namespace Graphemes {

// Number of clusters in `text`.
qsizetype count(const QString &text);
// The first `n` clusters of `text` (the whole text when it has fewer).
QString left(const QString &text, qsizetype n);

} // namespace Graphemes
