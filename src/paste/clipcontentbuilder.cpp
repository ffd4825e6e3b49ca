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

ClipboardContent textOrBytes(const ClipboardItem &item)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(item.raw);
    if (!utf8.hasError())
        return textContent(text);
    ClipboardContent content;
    content.entries.append({ClipTypes::mimeTypeForUti(item.dataUTI), item.raw});
    return content;
}

} // namespace

namespace ClipContentBuilder {

Result build(const ClipboardItem &item)
{
    Result result;
    switch (item.kind) {
    case ClipKind::Text:
    case ClipKind::Url:
    case ClipKind::FileURL:
    case ClipKind::Unknown:
        result.content = textOrBytes(item);
        break;
    case ClipKind::Rtf:
        if (const auto text = RtfPlainText::convert(item.raw)) {
            result.content = textContent(*text);
            result.rtf = RtfOutcome::Converted;
            result.rtfCharacters = Graphemes::count(*text);
        } else {
            result.content = textOrBytes(item);
            result.rtf = RtfOutcome::Fallback;
        }
        break;
    case ClipKind::Image: {
        const QImage image = QImage::fromData(item.raw);
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
