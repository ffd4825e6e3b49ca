#include "clipboardcapture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QStringDecoder>
#include <QUrl>

#include "capture/cliptypes.h"
#include "capture/graphemes.h"
#include "capture/imageconversion.h"
#include "capture/rtfplaintext.h"
#include "model/referencedate.h"
#include "platform/activewindow.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/logger.h"

namespace {

const QString kUriList = QStringLiteral("text/uri-list");
const QString kGnomeCopiedFiles = QStringLiteral("x-special/gnome-copied-files");
const QString kMozUrl = QStringLiteral("text/x-moz-url");
const QString kPasswordHint = QStringLiteral("x-kde-passwordManagerHint");
const QStringList kRtfTypes = {QStringLiteral("text/rtf"), QStringLiteral("text/richtext"),
                               QStringLiteral("application/rtf")};
const QStringList kTextTypes = {QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("UTF8_STRING"),
                                QStringLiteral("text/plain")};
// Lossless and common types first; any other type Qt decodes comes after.
const QStringList kPreferredImageTypes = {QStringLiteral("image/png"), QStringLiteral("image/tiff"),
                                          QStringLiteral("image/bmp"), QStringLiteral("image/jpeg"),
                                          QStringLiteral("image/gif"), QStringLiteral("image/webp")};

// Reads each type at most once per capture, only when asked.
class Reader final
{
public:
    explicit Reader(const Clipboard &clipboard) : m_clipboard(clipboard), m_formats(clipboard.formats()) {}

    bool offers(const QString &type) const { return m_formats.contains(type); }
    const QStringList &formats() const { return m_formats; }

    std::optional<QByteArray> read(const QString &type)
    {
        if (!offers(type))
            return std::nullopt;
        auto it = m_cache.find(type);
        if (it == m_cache.end())
            it = m_cache.insert(type, m_clipboard.data(type));
        return *it;
    }

private:
    const Clipboard &m_clipboard;
    QStringList m_formats;
    QHash<QString, std::optional<QByteArray>> m_cache;
};

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Old programs offer text/plain as Latin-1 (the STRING target).
    return QString::fromLatin1(bytes);
}

// URLs of a text/uri-list: comment lines and blank lines skipped, entries
// that do not parse as absolute URLs dropped.
QStringList uriListEntries(const QByteArray &bytes)
{
    QStringList out;
    for (const QByteArray &raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QUrl url = QUrl::fromEncoded(line, QUrl::StrictMode);
        if (url.isValid() && !url.scheme().isEmpty())
            out.append(QString::fromUtf8(line));
    }
    return out;
}

QString lastPathComponent(const QUrl &url)
{
    QString path = url.path(QUrl::FullyDecoded);
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash >= 0 && path.size() > 1 ? path.mid(slash + 1) : path;
}

QString pathExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // A leading dot names a hidden file, not an extension.
    if (dot <= 0 || dot == name.size() - 1)
        return QString();
    return name.mid(dot + 1).toLower();
}

// text/x-moz-url is UTF-16 (Firefox) or UTF-8: URL, newline, title.
QString mozUrl(const QByteArray &bytes)
{
    QString text;
    const bool utf16 = bytes.size() >= 2 && (bytes.startsWith("\xFF\xFE") || (bytes.size() % 2 == 0 && bytes.at(1) == 0));
    if (utf16) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        text = decoder.decode(bytes.startsWith("\xFF\xFE") ? bytes.mid(2) : bytes);
    } else {
        text = decodeText(bytes);
    }
    const QString first = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    const QUrl url(first, QUrl::StrictMode);
    return url.isValid() && !url.scheme().isEmpty() ? first : QString();
}

void fillText(ClipboardItem &item, const QString &text)
{
    item.preview = Graphemes::left(text, ClipboardCapture::kPreviewCharacters);
    item.textCharCount = Graphemes::count(text);
}

} // namespace

ClipboardCapture::ClipboardCapture(ActiveWindow &activeWindow, Clock &clock, FileIcons &icons, QObject *parent)
    : QObject(parent), m_activeWindow(activeWindow), m_clock(clock), m_thumbnailer(icons)
{
}

ClipboardCapture::~ClipboardCapture() = default;

void ClipboardCapture::setThumbnailSink(FileThumbnailer::Sink sink)
{
    m_thumbnailer.setSink(std::move(sink));
}

std::optional<ClipboardItem> ClipboardCapture::captureItem(const Clipboard &clipboard)
{
    Reader reader(clipboard);
    if (reader.offers(QLatin1String(Clipboard::kOwnWriteMimeType))) {
        Log::debug(QStringLiteral("Watcher: own clipboard write not captured"));
        return std::nullopt;
    }
    if (const auto hint = reader.read(kPasswordHint); hint && hint->trimmed() == "secret") {
        Log::info(QStringLiteral("Watcher: secret from a password manager skipped"));
        return std::nullopt;
    }

    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.createdAt = referenceDateFromUnix(m_clock.now());
    if (const auto front = m_activeWindow.frontmost(); front && !front->appId.isEmpty())
        item.sourceBundleID = front->appId;

    // 1. Files.
    QStringList fileUrls;
    const auto uriList = reader.read(kUriList);
    const QStringList uris = uriList ? uriListEntries(*uriList) : QStringList();
    const bool allFiles = !uris.isEmpty() && std::all_of(uris.cbegin(), uris.cend(), [](const QString &u) {
        return QUrl(u).isLocalFile();
    });
    if (allFiles) {
        fileUrls = uris;
    } else if (uris.isEmpty()) {
        if (const auto gnome = reader.read(kGnomeCopiedFiles)) {
            QList<QByteArray> lines = gnome->split('\n');
            if (!lines.isEmpty())
                lines.removeFirst(); // "copy" or "cut"
            const QStringList entries = uriListEntries(lines.join('\n'));
            if (!entries.isEmpty() && std::all_of(entries.cbegin(), entries.cend(), [](const QString &u) {
                    return QUrl(u).isLocalFile();
                }))
                fileUrls = entries;
        }
    }
    if (!fileUrls.isEmpty()) {
        const QString absolute = fileUrls.first();
        const QUrl url(absolute);
        item.kind = ClipKind::FileURL;
        item.dataUTI = ClipTypes::kFileUrl;
        item.raw = absolute.toUtf8();
        item.fileURLString = absolute;
        item.fileName = lastPathComponent(url);
        item.fileExt = pathExtension(*item.fileName);
        item.preview = *item.fileName;
        m_thumbnailer.start(item.id, url.toLocalFile(), *item.fileExt);
        return item;
    }

    // 2. An image.
    QString imageType;
    for (const QString &type : kPreferredImageTypes) {
        if (reader.offers(type)) {
            imageType = type;
            break;
        }
    }
    if (imageType.isEmpty()) {
        const QList<QByteArray> decodable = QImageReader::supportedMimeTypes();
        for (const QString &type : reader.formats()) {
            if (type.startsWith(QLatin1String("image/")) && decodable.contains(type.toLatin1())) {
                imageType = type;
                break;
            }
        }
    }
    if (!imageType.isEmpty()) {
        const QByteArray bytes = reader.read(imageType).value_or(QByteArray());
        const ImageConversion::Result image = ImageConversion::toStoredTiff(bytes, imageType);
        if (!image.ok()) {
            // Undecodable bytes are the offering program's fault; a decoded
            // picture we cannot encode is ours.
            if (image.size.isEmpty())
                Log::info(image.error);
            else
                Log::error(image.error);
        } else {
            item.kind = ClipKind::Image;
            item.dataUTI = ClipTypes::kTiff;
            item.raw = image.tiff;
            item.preview = QStringLiteral("📷 Image %1×%2").arg(image.size.width()).arg(image.size.height());
            return item;
        }
    }

    // 3. URLs.
    QString link = uris.isEmpty() ? QString() : uris.first();
    if (link.isEmpty()) {
        if (const auto moz = reader.read(kMozUrl))
            link = mozUrl(*moz);
    }
    if (!link.isEmpty()) {
        item.kind = ClipKind::Url;
        item.dataUTI = ClipTypes::kUrl;
        item.raw = link.toUtf8();
        fillText(item, link);
        return item;
    }

    // 4. Rich text.
    for (const QString &type : kRtfTypes) {
        const auto rtf = reader.read(type);
        if (!rtf)
            continue;
        std::optional<QString> text = RtfPlainText::convert(*rtf);
        if (!text) {
            Log::info(QStringLiteral("Watcher: RTF not readable (%1 bytes), kept with its size as preview").arg(rtf->size()));
            text = QStringLiteral("RTF (%1 o)").arg(rtf->size());
        }
        item.kind = ClipKind::Rtf;
        item.dataUTI = ClipTypes::kRtf;
        item.raw = *rtf;
        fillText(item, *text);
        return item;
    }

    // 5. Plain text.
    for (const QString &type : kTextTypes) {
        const auto bytes = reader.read(type);
        if (!bytes)
            continue;
        const QString text = decodeText(*bytes);
        item.kind = ClipKind::Text;
        item.dataUTI = ClipTypes::kPlainText;
        item.raw = text.toUtf8();
        fillText(item, text);
        return item;
    }
    return std::nullopt;
}
