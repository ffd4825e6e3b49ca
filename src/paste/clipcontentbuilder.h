#pragma once

#include "model/clipboarditem.h"
#include "platform/clipboardcontent.h"

// What goes on the clipboard for a clip, by kind: text, URLs and files as
// their text (plain-text type only); bytes that are not UTF-8 under the type
// of their dataUTI; rich text as its plain text (its bytes as text when the
// RTF does not parse); an image as a picture, nothing when it does not decode
// or a large content cannot be read back from the history file.
namespace ClipContentBuilder {

enum class RtfOutcome { NotRtf, Converted, Fallback };

struct Result
{
    ClipboardContent content;
    RtfOutcome rtf = RtfOutcome::NotRtf;
    qsizetype rtfCharacters = 0; // grapheme clusters of the converted text
    bool imageUndecodable = false;
};

Result build(const ClipboardItem &item);

} // namespace ClipContentBuilder
