#include "clipboardcapture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QStringDecoder>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

#include "capture/clipboardview.h"
#include "capture/cliptypes.h"
#include "capture/graphemes.h"
#include "capture/imageconversion.h"
#include "capture/rtfplaintext.h"
#include "model/referencedate.h"
#include "platform/activewindow.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/logger.h"
#include "store/clipboardstore.h"

namespace {

const QString kUriList = QStringLiteral("text/uri-list");
const QString kGnomeCopiedFiles = QStringLiteral("x-special/gnome-copied-files");
const QString kMozUrl = QStringLiteral("text/x-moz-url");
const QString kPasswordHint = QStringLiteral("x-kde-passwordManagerHint");
const QStringList kRtfTypes = {QStringLiteral("text/rtf"), QStringLiteral("text/richtext"),
                               QStringLiteral("application/rtf")};
// UTF8_STRING first: the X11 reader asks for it before it knows the types.
const QStringList kTextTypes = {QStringLiteral("UTF8_STRING"), QStringLiteral("text/plain;charset=utf-8"),
                                QStringLiteral("text/plain")};
// Lossless and common types first; any other type Qt decodes comes after.
const QStringList kPreferredImageTypes = {QStringLiteral("image/png"), QStringLiteral("image/tiff"),
                                          QStringLiteral("image/bmp"), QStringLiteral("image/jpeg"),
                                          QStringLiteral("image/gif"), QStringLiteral("image/webp")};

// Reads each type at most once per capture, only when asked.
class Reader final
{
public:
    explicit Reader(const ClipboardView &clipboard) : m_clipboard(clipboard), m_formats(clipboard.formats()) {}

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
    const ClipboardView &m_clipboard;
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

// The image type to read: a preferred one, else any image type Qt decodes.
QString imageTypeOf(const QStringList &formats)
{
    for (const QString &type : kPreferredImageTypes) {
        if (formats.contains(type))
            return type;
    }
    const QList<QByteArray> decodable = QImageReader::supportedMimeTypes();
    for (const QString &type : formats) {
        if (type.startsWith(QLatin1String("image/")) && decodable.contains(type.toLatin1()))
            return type;
    }
    return QString();
}

QString firstOffered(const QStringList &formats, const QStringList &types)
{
    for (const QString &type : types) {
        if (formats.contains(type))
            return type;
    }
    return QString();
}

using LogLines = QList<QPair<Log::Level, QString>>;

} // namespace

// A clip built away from the main thread, with the lines it wants logged.
struct ClipboardCapture::Built
{
    std::optional<ClipboardItem> item;
    LogLines lines;
};

namespace {

// The capture rules over any view; touches nothing shared, so it may run on a
// worker. `item` carries the fields stamped on the main thread.
ClipboardCapture::Built buildClip(ClipboardItem item, const ClipboardView &view,
                                  const ClipboardCapture::ImageConverter &convert)
{
    ClipboardCapture::Built built;
    LogLines &lines = built.lines;
    Reader reader(view);
    if (reader.offers(QLatin1String(Clipboard::kOwnWriteMimeType))) {
        lines.append({Log::Level::Debug, QStringLiteral("Watcher: own clipboard write not captured")});
        return built;
    }
    if (const auto hint = reader.read(kPasswordHint); hint && hint->trimmed() == "secret") {
        lines.append({Log::Level::Info, QStringLiteral("Watcher: secret from a password manager skipped")});
        return built;
    }

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
        built.item = item;
        return built;
    }

    // 2. An image.
    const QString imageType = imageTypeOf(reader.formats());
    if (!imageType.isEmpty()) {
        const QByteArray bytes = reader.read(imageType).value_or(QByteArray());
        const ImageConversion::Result image = convert(bytes, imageType);
        if (!image.ok()) {
            // Undecodable bytes are the offering program's fault; a decoded
            // picture we cannot encode is ours.
            lines.append({image.size.isEmpty() ? Log::Level::Info : Log::Level::Error, image.error});
        } else {
            item.kind = ClipKind::Image;
            item.dataUTI = ClipTypes::kTiff;
            item.raw = image.tiff;
            item.preview = QStringLiteral("📷 Image %1×%2").arg(image.size.width()).arg(image.size.height());
            built.item = item;
            return built;
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
        built.item = item;
        return built;
    }

    // 4. Rich text.
    for (const QString &type : kRtfTypes) {
        const auto rtf = reader.read(type);
        if (!rtf)
            continue;
        std::optional<QString> text = RtfPlainText::convert(*rtf);
        if (!text) {
            lines.append({Log::Level::Info,
                          QStringLiteral("Watcher: RTF not readable (%1 bytes), kept with its size as preview").arg(rtf->size())});
            text = QStringLiteral("RTF (%1 o)").arg(rtf->size());
        }
        item.kind = ClipKind::Rtf;
        item.dataUTI = ClipTypes::kRtf;
        item.raw = *rtf;
        fillText(item, *text);
        built.item = item;
        return built;
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
        built.item = item;
        return built;
    }
    return built;
}

// Whether turning the offer into a clip could hold the main thread.
bool isHeavy(const ClipboardOffer &offer)
{
    qsizetype bytes = 0;
    for (auto it = offer.data.cbegin(); it != offer.data.cend(); ++it) {
        if (it.key().startsWith(QLatin1String("image/")))
            return true;
        bytes += it.value().size();
    }
    return bytes > ClipboardCapture::kInlineBytes;
}

} // namespace

ClipboardCapture::ClipboardCapture(ActiveWindow &activeWindow, Clock &clock, FileIcons &icons, QObject *parent)
    : QObject(parent), m_activeWindow(activeWindow), m_clock(clock), m_thumbnailer(icons),
      m_convert(&ImageConversion::toStoredTiff)
{
}

ClipboardCapture::~ClipboardCapture() = default;

void ClipboardCapture::setThumbnailSink(FileThumbnailer::Sink sink)
{
    m_thumbnailer.setSink(std::move(sink));
}

ClipboardItem ClipboardCapture::stamp() const
{
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.createdAt = referenceDateFromUnix(m_clock.now());
    if (const auto front = m_activeWindow.frontmost(); front && !front->appId.isEmpty())
        item.sourceBundleID = front->appId;
    return item;
}

std::optional<ClipboardItem> ClipboardCapture::finish(Built built)
{
    for (const auto &[level, line] : std::as_const(built.lines))
        Log::write(level, line);
    if (built.item && built.item->kind == ClipKind::FileURL)
        m_thumbnailer.start(built.item->id, QUrl(*built.item->fileURLString).toLocalFile(), *built.item->fileExt);
    return std::move(built.item);
}

std::optional<ClipboardItem> ClipboardCapture::captureItem(const Clipboard &clipboard)
{
    return finish(buildClip(stamp(), LiveClipboardView(clipboard), m_convert));
}

QStringList ClipboardCapture::typesToRead(const QStringList &offered)
{
    if (offered.contains(QLatin1String(Clipboard::kOwnWriteMimeType)))
        return {};
    QStringList types;
    for (const QString &type : {kPasswordHint, kUriList, kGnomeCopiedFiles, imageTypeOf(offered), kMozUrl,
                                firstOffered(offered, kRtfTypes), firstOffered(offered, kTextTypes)}) {
        if (!type.isEmpty() && offered.contains(type))
            types.append(type);
    }
    return types;
}

void ClipboardCapture::captureOffer(const ClipboardOffer &offer, Done done)
{
    ClipboardItem item = stamp();
    if (!isHeavy(offer)) {
        done(finish(buildClip(std::move(item), OfferView(offer), m_convert)));
        return;
    }
    QtConcurrent::run(&m_pool, [item = std::move(item), offer, convert = m_convert] {
        Built built = buildClip(item, OfferView(offer), convert);
        // The store checks every clip against the last one by this hash;
        // over a large clip it would hold the main thread.
        if (built.item)
            built.item->signature.hex = ClipboardStore::signature(built.item->kind, built.item->raw.bytes());
        return built;
    }).then(this, [this, done = std::move(done)](Built built) { done(finish(std::move(built))); });
}
