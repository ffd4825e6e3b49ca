#pragma once

#include <optional>

#include <QColor>
#include <QString>

#include "cards/styledtext.h"

// Pure decisions about a text preview: is there a colour code in it, does it
// look like source code, and how is code highlighted. Patterns are compiled
// once per process. Safe on any thread (the compiled patterns are shared
// read-only).
namespace ContentDecoration {

// The first "#" + 6 or 8 hex digits ending at a word boundary, anywhere in
// `text`, as written there ("#" included); none otherwise.
std::optional<QString> detectHexColor(const QString &text);

// "#RRGGBB" or "#RRGGBBAA" (white space around and the "#" optional) to an
// sRGB colour; none for any other length or any non-hex character.
std::optional<QColor> parseHexColor(const QString &code);

// True when the text has a code fence, a bracket/brace/semicolon, one of the
// detection keywords as a word, or enough indented lines (more than a third
// of the non-empty lines and at least three).
bool looksLikeCode(const QString &text);

// `text` in the monospaced font (12.5 pt), white, with comments grey,
// strings yellow, numbers teal and keywords pink (later rules win).
StyledText highlightCode(const QString &text);

// The colours the highlighter uses, for views that draw legends or tests.
QColor commentColor();
QColor stringColor();
QColor numberColor();
QColor keywordColor();

// The monospaced font of code and plain previews at `pointSize`.
QFont monospaceFont(qreal pointSize, QFont::Weight weight = QFont::Normal);

} // namespace ContentDecoration
