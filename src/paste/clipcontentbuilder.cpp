#include "clipcontentbuilder.h"

#include <QImage>
#include <QStringDecoder>

#include "capture/cliptypes.h"
#include "capture/graphemes.h"
#include "capture/rtfplaintext.h"

namespace {

const QString kPlainTextType = QStringLiteral("text/plain");

ClipboardContent textContent(const QString &text)
{
    ClipboardContent content;
    content.entries.append({kPlainTextType, text.toUtf8()});
    return content;
}

ClipboardContent textOrBytes(const ClipboardItem &item, const QByteArray &raw)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(raw);
    if (!utf8.hasError())
        return textContent(text);
    ClipboardContent content;
    content.entries.append({ClipTypes::mimeTypeForUti(item.dataUTI), raw});
    return content;
}

} // namespace

namespace ClipContentBuilder {

Result build(const ClipboardItem &item)
{
    Result result;
    // A large content is read from the history file here; one that cannot
    // be read (already logged) leaves the clipboard empty.
    const std::optional<QByteArray> raw = item.raw.read();
    if (!raw)
        return result;
    switch (item.kind) {
    case ClipKind::Text:
    case ClipKind::Url:
    case ClipKind::FileURL:
    case ClipKind::Unknown:
        result.content = textOrBytes(item, *raw);
        break;
    case ClipKind::Rtf:
        if (const auto text = RtfPlainText::convert(*raw)) {
            result.content = textContent(*text);
            result.rtf = RtfOutcome::Converted;
            result.rtfCharacters = Graphemes::count(*text);
        } else {
            result.content = textOrBytes(item, *raw);
            result.rtf = RtfOutcome::Fallback;
        }
        break;
    case ClipKind::Image: {
        const QImage image = QImage::fromData(*raw);
        if (image.isNull())
            result.imageUndecodable = true;
        else
            result.content.image = image;
        break;
    }
    }
    return result;
}

} // namespace ClipContentBuilder
