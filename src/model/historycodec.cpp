#include "historycodec.h"

#include <array>
#include <cstdint>
#include <cstring>

#include <QHash>

#include <sys/mman.h>
#include <unistd.h>

#include "base64.h"
#include "clipkind.h"
#include "hexdigit.h"
#include "jsonarraystream.h"
#include "jsonreader.h"
#include "jsonscan.h"
#include "jsonwriter.h"
#include "payload.h"

namespace {

enum class Field {
    Id, Kind, Preview, DataUTI, Raw, CreatedAt, Pinned,
    FolderId, SourceBundleID, FileURLString, FileName, FileExt, ThumbnailPNG, TextCharCount,
    Name, Unknown
};

const QString kMalformed = QStringLiteral("malformed JSON");
const QString kNotObject = QStringLiteral("not a JSON object");

constexpr unsigned bit(Field f) { return 1u << unsigned(f); }
constexpr unsigned kItemRequired = bit(Field::Id) | bit(Field::Kind) | bit(Field::Preview) | bit(Field::DataUTI)
    | bit(Field::Raw) | bit(Field::CreatedAt) | bit(Field::Pinned);
constexpr unsigned kFolderRequired = bit(Field::Id) | bit(Field::Name) | bit(Field::CreatedAt);

struct KeyName {
    Field field;
    const char *text;
};

constexpr KeyName kKeys[] = {
    {Field::Id, "id"}, {Field::Kind, "kind"}, {Field::Preview, "preview"}, {Field::DataUTI, "dataUTI"},
    {Field::Raw, "raw"}, {Field::CreatedAt, "createdAt"}, {Field::Pinned, "pinned"},
    {Field::FolderId, "folderId"}, {Field::SourceBundleID, "sourceBundleID"},
    {Field::FileURLString, "fileURLString"}, {Field::FileName, "fileName"}, {Field::FileExt, "fileExt"},
    {Field::ThumbnailPNG, "thumbnailPNG"}, {Field::TextCharCount, "textCharCount"}, {Field::Name, "name"},
};

QLatin1StringView keyText(Field f)
{
    for (const KeyName &k : kKeys) {
        if (k.field == f)
            return QLatin1StringView(k.text);
    }
    return {};
}

Field fieldOf(QByteArrayView key)
{
    for (const KeyName &k : kKeys) {
        const auto len = qsizetype(std::strlen(k.text));
        if (key.size() == len && std::memcmp(key.data(), k.text, std::size_t(len)) == 0)
            return k.field;
    }
    return Field::Unknown;
}

QString missingKey(unsigned seen, unsigned required)
{
    for (const KeyName &k : kKeys) {
        if ((required & bit(k.field)) && !(seen & bit(k.field)))
            return QStringLiteral("missing \"%1\"").arg(QLatin1StringView(k.text));
    }
    return {};
}

QString badValue(Field f, const char *expected)
{
    return QStringLiteral("\"%1\" is not %2").arg(keyText(f), QLatin1StringView(expected));
}

// Repeated short texts (type identifiers, application ids, extensions) share
// one string instead of one allocation per record.
class Interner
{
public:
    QString get(QByteArrayView utf8)
    {
        if (utf8.size() > 128)
            return QString::fromUtf8(utf8);
        const auto it = m_strings.constFind(QByteArray::fromRawData(utf8.data(), utf8.size()));
        if (it != m_strings.cend())
            return *it;
        QString s = QString::fromUtf8(utf8);
        if (m_strings.size() < 1024)
            m_strings.insert(utf8.toByteArray(), s);
        return s;
    }

private:
    QHash<QByteArray, QString> m_strings;
};

std::optional<ClipKind> kindOf(QByteArrayView raw)
{
    static constexpr ClipKind all[] = {ClipKind::Text, ClipKind::Rtf, ClipKind::Url,
                                       ClipKind::Image, ClipKind::FileURL, ClipKind::Unknown};
    static const QByteArray names[] = {clipKindRawValue(all[0]).toLatin1(), clipKindRawValue(all[1]).toLatin1(),
                                       clipKindRawValue(all[2]).toLatin1(), clipKindRawValue(all[3]).toLatin1(),
                                       clipKindRawValue(all[4]).toLatin1(), clipKindRawValue(all[5]).toLatin1()};
    for (int i = 0; i < 6; ++i) {
        if (raw == names[i])
            return all[i];
    }
    return std::nullopt;
}

bool readKey(JsonReader &r, Field *field)
{
    JsonReader::StringSpan span;
    if (!r.readStringSpan(&span))
        return false;
    if (!span.escaped) {
        *field = fieldOf(span.raw);
        return true;
    }
    QByteArray key;
    if (!JsonReader::decodeUtf8(span, &key))
        return false;
    *field = fieldOf(key);
    return true;
}

bool readUuid(JsonReader &r, QUuid *out)
{
    JsonReader::StringSpan span;
    if (!r.readStringSpan(&span) || span.escaped)
        return false;
    const auto id = HistoryCodec::parseUuid(span.raw);
    if (!id)
        return false;
    *out = *id;
    return true;
}

// WORKAROUND: in virtual machines every first touch of a fresh page can
// trap to the host (tens of microseconds each, measured here); asking for a
// large decode buffer's pages in one call is several times faster, and no
// slower elsewhere.
void populate(char *data, std::size_t size)
{
#ifdef MADV_POPULATE_WRITE
    static const auto page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(page - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

constexpr std::size_t kPopulateFrom = 256 * 1024;
constexpr std::size_t kPopulateRecordsLimit = 16 << 20;

bool decodeBase64Span(const JsonReader::StringSpan &span, QByteArray *out)
{
    QByteArray unescaped;
    QByteArrayView text = span.raw;
    if (span.escaped) { // a writer may have escaped '/' as "\/"
        if (!JsonReader::decodeUtf8(span, &unescaped))
            return false;
        text = unescaped;
    }
    const std::size_t capacity = Base64::decodedCapacity(std::size_t(text.size()));
    QByteArray bytes(qsizetype(capacity), Qt::Uninitialized);
    if (capacity >= kPopulateFrom)
        populate(bytes.data(), capacity);
    const auto n = Base64::decode(text.data(), std::size_t(text.size()), bytes.data());
    if (!n)
        return false;
    bytes.truncate(qsizetype(*n));
    *out = std::move(bytes);
    return true;
}

bool readBytes(JsonReader &r, QByteArray *out)
{
    JsonReader::StringSpan span;
    return r.readStringSpan(&span) && decodeBase64Span(span, out);
}

// Where the record being decoded lies in a history file, so that a large
// "raw" value can be left there and read on demand. Long strings the stream
// left out of the record (`leftOut`) lie in the file only.
struct FilePlace {
    std::shared_ptr<PayloadFile> file;
    QByteArrayView record;
    qint64 recordOffset = 0;
    // Where the reader's positions count from: the record, until a large
    // value has been stepped over.
    mutable const char *readerBegin = nullptr;
    QList<JsonArrayStream::LeftOut> leftOut;
    // How many of `leftOut` became stored payloads.
    mutable qsizetype leftOutTaken = 0;

    const JsonArrayStream::LeftOut *leftOutAt(qsizetype at) const
    {
        for (const auto &left : leftOut) {
            if (left.at == at)
                return &left;
        }
        return nullptr;
    }
};

// A large, unescaped Base64 run in a file is kept as its place: the load
// neither decodes nor holds it. Its length and padding are checked here; its
// characters when it is read.
bool readPayload(JsonReader &r, const FilePlace *place, Payload *out)
{
    if (place && r.peek() == '"') {
        const char *const start = place->readerBegin + r.position() + 1;
        const char *const recordEnd = place->record.data() + place->record.size();
        const char *const q = JsonScan::findQuoteOrBackslash(start, recordEnd);
        const auto *left = place->leftOutAt(start - place->record.data());
        const qsizetype n = (left ? left->length : 0) + (q - start);
        const bool unescaped = q != recordEnd && *q == '"';
        if (unescaped && n >= qsizetype(Base64::encodedSize(std::size_t(Payload::kLargeFrom)))) {
            // The last two characters are in the record even when the rest
            // was left out.
            if (n % 4 != 0 || q - start < 2)
                return false;
            const qsizetype padding = (q[-1] == '=') + (q[-2] == '=');
            // A record with another string left out is read again whole (see
            // decodeItems), so this offset needs no account of left-out bytes.
            const qint64 offset = left ? left->offset : place->recordOffset + (start - place->record.data());
            *out = Payload::stored({place->file, offset, n}, n / 4 * 3 - padding);
            r = JsonReader(QByteArrayView(q + 1, recordEnd)); // the rest of the record
            place->readerBegin = q + 1;
            place->leftOutTaken += left ? 1 : 0;
            return true;
        }
        if (left) { // escaped: the caller reads the whole record again
            out->clear();
            return r.skipValue();
        }
    }
    JsonReader::StringSpan span;
    if (!r.readStringSpan(&span))
        return false;
    QByteArray bytes;
    if (!decodeBase64Span(span, &bytes))
        return false;
    *out = std::move(bytes);
    return true;
}

bool readInterned(JsonReader &r, Interner *interner, QString *out)
{
    JsonReader::StringSpan span;
    if (!r.readStringSpan(&span))
        return false;
    if (span.escaped || !interner)
        return JsonReader::decodeString(span, out);
    for (const char c : span.raw) {
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    }
    *out = interner->get(span.raw);
    return true;
}

// Walks one JSON object key by key. `readValue(r, f, record)` reads the value
// of key `f` into `record` and returns why it was refused, or an empty string.
template<typename Record, typename ReadValue>
std::optional<Record> decodeObject(QByteArrayView json, QString *why, unsigned required, ReadValue readValue)
{
    JsonReader r(json);
    Record record;
    unsigned seen = 0;
    auto failed = [&](const QString &reason) -> std::optional<Record> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (!r.consume('{'))
        return failed(kNotObject);
    if (!r.consume('}')) {
        do {
            Field f = Field::Unknown;
            if (!readKey(r, &f) || !r.consume(':'))
                return failed(kMalformed);
            const QString refused = readValue(r, f, record);
            if (!refused.isEmpty())
                return failed(refused);
            seen |= bit(f);
        } while (r.consume(','));
        if (!r.consume('}'))
            return failed(kMalformed);
    }
    if (!r.atEnd())
        return failed(kMalformed);
    if ((seen & required) != required)
        return failed(missingKey(seen, required));
    return record;
}

QString readItemValue(JsonReader &r, Field f, ClipboardItem &item, Interner *interner, const FilePlace *place)
{
    const bool optional = f >= Field::FolderId && f <= Field::TextCharCount;
    if (optional && r.readNull()) {
        switch (f) {
        case Field::FolderId: item.folderId.reset(); break;
        case Field::SourceBundleID: item.sourceBundleID.reset(); break;
        case Field::FileURLString: item.fileURLString.reset(); break;
        case Field::FileName: item.fileName.reset(); break;
        case Field::FileExt: item.fileExt.reset(); break;
        case Field::ThumbnailPNG: item.thumbnailPNG.reset(); break;
        case Field::TextCharCount: item.textCharCount.reset(); break;
        default: break;
        }
        return {};
    }
    bool ok = true;
    switch (f) {
    case Field::Id:
        if (!readUuid(r, &item.id))
            return badValue(f, "a UUID string");
        break;
    case Field::Kind: {
        JsonReader::StringSpan span;
        std::optional<ClipKind> kind;
        if (r.readStringSpan(&span) && !span.escaped)
            kind = kindOf(span.raw);
        if (!kind)
            return badValue(f, "a known kind");
        item.kind = *kind;
        break;
    }
    case Field::Preview:
        ok = r.readString(&item.preview);
        break;
    case Field::DataUTI:
        ok = readInterned(r, interner, &item.dataUTI);
        break;
    case Field::Raw:
        if (!readPayload(r, place, &item.raw))
            return badValue(f, "a Base64 string");
        break;
    case Field::CreatedAt:
        ok = r.readNumber(&item.createdAt);
        break;
    case Field::Pinned:
        ok = r.readBool(&item.pinned);
        break;
    case Field::FolderId: {
        QUuid id;
        if (!readUuid(r, &id))
            return badValue(f, "a UUID string");
        item.folderId = id;
        break;
    }
    case Field::SourceBundleID: {
        QString s;
        ok = readInterned(r, interner, &s);
        item.sourceBundleID = s;
        break;
    }
    case Field::FileURLString: {
        QString s;
        ok = r.readString(&s);
        item.fileURLString = s;
        break;
    }
    case Field::FileName: {
        QString s;
        ok = r.readString(&s);
        item.fileName = s;
        break;
    }
    case Field::FileExt: {
        QString s;
        ok = readInterned(r, interner, &s);
        item.fileExt = s;
        break;
    }
    case Field::ThumbnailPNG: {
        QByteArray png;
        if (!readBytes(r, &png))
            return badValue(f, "a Base64 string");
        item.thumbnailPNG = std::move(png);
        break;
    }
    case Field::TextCharCount: {
        qint64 n = 0;
        ok = r.readInteger(&n);
        item.textCharCount = n;
        break;
    }
    case Field::Name:
    case Field::Unknown:
        if (!r.skipValue())
            return kMalformed;
        break;
    }
    if (ok)
        return {};
    switch (f) {
    case Field::CreatedAt: return badValue(f, "a number");
    case Field::Pinned: return badValue(f, "true or false");
    case Field::TextCharCount: return badValue(f, "an integer");
    default: return badValue(f, "a string");
    }
}

std::optional<ClipboardItem> decodeItemWith(QByteArrayView json, QString *why, Interner *interner,
                                           const FilePlace *place = nullptr)
{
    return decodeObject<ClipboardItem>(json, why, kItemRequired,
                                       [interner, place](JsonReader &r, Field f, ClipboardItem &item) {
                                           return readItemValue(r, f, item, interner, place);
                                       });
}

QString readFolderValue(JsonReader &r, Field f, ClipboardFolder &folder)
{
    switch (f) {
    case Field::Id:
        if (!readUuid(r, &folder.id))
            return badValue(f, "a UUID string");
        break;
    case Field::Name:
        if (!r.readString(&folder.name))
            return badValue(f, "a string");
        break;
    case Field::CreatedAt:
        if (!r.readNumber(&folder.createdAt))
            return badValue(f, "a number");
        break;
    default:
        if (!r.skipValue())
            return kMalformed;
        break;
    }
    return {};
}

std::optional<ClipboardFolder> decodeFolderWith(QByteArrayView json, QString *why)
{
    return decodeObject<ClipboardFolder>(json, why, kFolderRequired, readFolderValue);
}

template<typename Record, typename DecodeOne>
HistoryCodec::Decoded<Record> decodeArray(JsonArrayStream &stream, DecodeOne decodeOne)
{
    HistoryCodec::Decoded<Record> out;
    QString firstBad;
    QByteArrayView element;
    qsizetype index = 0;
    while (stream.next(&element)) {
        ++index;
        // Growing a list of records moves every record each time; once the
        // first records show the average size, room is made for the rest.
        if (index == 64 && stream.sizeHint() > 0 && stream.offset() > 0)
        {
            out.records.reserve(qsizetype(double(stream.sizeHint()) / double(stream.offset()) * 64 * 1.1) + 64);
            // The first records may all be small while large ones follow, so
            // the estimate can be far too high: only a bounded part is faulted
            // in, and the surplus is given back at the end.
            const std::size_t room = std::size_t(out.records.capacity() - out.records.size()) * sizeof(Record);
            populate(reinterpret_cast<char *>(out.records.data() + out.records.size()),
                     std::min<std::size_t>(room, kPopulateRecordsLimit));
        }
        QString why;
        std::optional<Record> record = decodeOne(element, stream.elementOffset(), &why);
        if (!record && (why == kMalformed || why == kNotObject))
            stream.rejectElement();
        if (record) {
            out.records.append(std::move(*record));
        } else {
            ++out.skipped;
            if (firstBad.isEmpty())
                firstBad = QStringLiteral("record %1: %2").arg(index).arg(why);
        }
    }
    if (out.records.capacity() > 2 * out.records.size() + 64)
        out.records.squeeze();
    // A record-level fault is named before a syntax fault found later.
    out.problem = !firstBad.isEmpty() ? firstBad : stream.problem();
    if (!firstBad.isEmpty() && !stream.problem().isEmpty())
        out.problem += QStringLiteral("; ") + stream.problem();
    return out;
}

} // namespace

std::optional<QUuid> HistoryCodec::parseUuid(QByteArrayView text)
{
    // Every record has one or two ids: a table and fixed digit positions keep
    // this off the load's profile.
    static constexpr auto kValue = [] {
        std::array<qint8, 256> v{};
        for (int c = 0; c < 256; ++c)
            v[std::size_t(c)] = qint8(hexDigitValue(char(c)));
        return v;
    }();
    static constexpr int kDigitAt[16] = {0, 2, 4, 6, 9, 11, 14, 16, 19, 21, 24, 26, 28, 30, 32, 34};
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    char bytes[16];
    int bad = 0;
    for (int i = 0; i < 16; ++i) {
        const int hi = kValue[p[kDigitAt[i]]];
        const int lo = kValue[p[kDigitAt[i] + 1]];
        bad |= hi | lo;
        bytes[i] = char(hi << 4 | lo);
    }
    if (bad < 0)
        return std::nullopt;
    return QUuid::fromRfc4122(QByteArrayView(bytes, 16));
}

namespace {

void writeUuid(JsonWriter &w, const QUuid &id)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const QByteArray b = id.toRfc4122();
    char text[36];
    int t = 0;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text[t++] = '-';
        const auto c = static_cast<unsigned char>(b[i]);
        text[t++] = hex[c >> 4];
        text[t++] = hex[c & 15];
    }
    w.asciiString(QLatin1StringView(text, 36));
}

} // namespace

namespace {

// `rawAt` null: the whole record. Otherwise raw's Base64 text is left out
// and `*rawAt` is where it belongs, between the quotes.
void appendItemTo(QByteArray &out, const ClipboardItem &item, qsizetype *rawAt)
{
    out.reserve(out.size() + (rawAt ? 0 : qsizetype(Base64::encodedSize(std::size_t(item.raw.size()))))
                + (item.thumbnailPNG ? qsizetype(Base64::encodedSize(std::size_t(item.thumbnailPNG->size()))) : 0)
                + item.preview.size() * 3 + 320);
    JsonWriter w(out);
    w.beginObject();
    w.key(QLatin1StringView("id"));
    writeUuid(w, item.id);
    w.key(QLatin1StringView("kind"));
    w.string(clipKindRawValue(item.kind));
    w.key(QLatin1StringView("preview"));
    w.string(item.preview);
    w.key(QLatin1StringView("dataUTI"));
    w.string(item.dataUTI);
    w.key(QLatin1StringView("raw"));
    if (rawAt) {
        w.asciiString(QLatin1StringView());
        *rawAt = out.size() - 1;
    } else if (const auto held = item.raw.heldBytes()) {
        w.base64(*held);
    } else {
        // Stored in a file (the history writer copies such text itself; this
        // path serves single records). A run that cannot be read is logged
        // and leaves the bytes empty.
        const QByteArray bytes = item.raw.bytes();
        w.base64(bytes);
    }
    w.key(QLatin1StringView("createdAt"));
    w.number(item.createdAt);
    w.key(QLatin1StringView("pinned"));
    w.boolean(item.pinned);
    if (item.folderId) {
        w.key(QLatin1StringView("folderId"));
        writeUuid(w, *item.folderId);
    }
    if (item.sourceBundleID) {
        w.key(QLatin1StringView("sourceBundleID"));
        w.string(*item.sourceBundleID);
    }
    if (item.fileURLString) {
        w.key(QLatin1StringView("fileURLString"));
        w.string(*item.fileURLString);
    }
    if (item.fileName) {
        w.key(QLatin1StringView("fileName"));
        w.string(*item.fileName);
    }
    if (item.fileExt) {
        w.key(QLatin1StringView("fileExt"));
        w.string(*item.fileExt);
    }
    if (item.thumbnailPNG) {
        w.key(QLatin1StringView("thumbnailPNG"));
        w.base64(*item.thumbnailPNG);
    }
    if (item.textCharCount) {
        w.key(QLatin1StringView("textCharCount"));
        w.integer(*item.textCharCount);
    }
    w.endObject();
}

} // namespace

void HistoryCodec::appendItem(QByteArray &out, const ClipboardItem &item)
{
    appendItemTo(out, item, nullptr);
}

qsizetype HistoryCodec::appendItemWithoutRaw(QByteArray &out, const ClipboardItem &item)
{
    qsizetype rawAt = 0;
    appendItemTo(out, item, &rawAt);
    return rawAt;
}

void HistoryCodec::appendFolder(QByteArray &out, const ClipboardFolder &folder)
{
    JsonWriter w(out);
    w.beginObject();
    w.key(QLatin1StringView("id"));
    writeUuid(w, folder.id);
    w.key(QLatin1StringView("name"));
    w.string(folder.name);
    w.key(QLatin1StringView("createdAt"));
    w.number(folder.createdAt);
    w.endObject();
}

QByteArray HistoryCodec::encodeItem(const ClipboardItem &item)
{
    QByteArray out;
    appendItem(out, item);
    return out;
}

QByteArray HistoryCodec::encodeFolder(const ClipboardFolder &folder)
{
    QByteArray out;
    appendFolder(out, folder);
    return out;
}

namespace {

template<typename Record, typename AppendOne>
QByteArray encodeArray(const QList<Record> &records, AppendOne appendOne)
{
    QByteArray out;
    out.append('[');
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (i > 0)
            out.append(',');
        appendOne(out, records[i]);
    }
    out.append(']');
    return out;
}

} // namespace

QByteArray HistoryCodec::encodeItems(const QList<ClipboardItem> &items)
{
    return encodeArray(items, &HistoryCodec::appendItem);
}

QByteArray HistoryCodec::encodeFolders(const QList<ClipboardFolder> &folders)
{
    return encodeArray(folders, &HistoryCodec::appendFolder);
}

std::optional<ClipboardItem> HistoryCodec::decodeItem(QByteArrayView json, QString *why)
{
    return decodeItemWith(json, why, nullptr);
}

std::optional<ClipboardFolder> HistoryCodec::decodeFolder(QByteArrayView json, QString *why)
{
    return decodeFolderWith(json, why);
}

HistoryCodec::Decoded<ClipboardItem> HistoryCodec::decodeItems(JsonArrayStream &stream,
                                                               const std::shared_ptr<PayloadFile> &file)
{
    Interner interner;
    return decodeArray<ClipboardItem>(stream, [&](QByteArrayView json, qint64 offset, QString *why)
                                                  -> std::optional<ClipboardItem> {
        if (!file)
            return decodeItemWith(json, why, &interner);
        const FilePlace place{file, json, offset, json.data(), stream.leftOut()};
        auto item = decodeItemWith(json, why, &interner, &place);
        if (place.leftOutTaken == place.leftOut.size())
            return item;
        // A left-out string that is not a plain large "raw" value is wanted
        // whole: the record is read again from the file.
        qint64 size = json.size();
        for (const auto &left : place.leftOut)
            size += left.length;
        QByteArray whole(qsizetype(size), Qt::Uninitialized);
        QString readWhy;
        if (!file->readAt(offset, whole.data(), size, &readWhy)) {
            *why = QStringLiteral("cannot be read again (%1)").arg(readWhy);
            return std::nullopt;
        }
        const FilePlace again{file, whole, offset, whole.constData(), {}};
        return decodeItemWith(whole, why, &interner, &again);
    });
}

HistoryCodec::Decoded<ClipboardFolder> HistoryCodec::decodeFolders(JsonArrayStream &stream)
{
    return decodeArray<ClipboardFolder>(stream, [](QByteArrayView json, qint64, QString *why) {
        return decodeFolderWith(json, why);
    });
}

HistoryCodec::Decoded<ClipboardItem> HistoryCodec::decodeItems(QByteArrayView json)
{
    JsonArrayStream stream(json);
    return decodeItems(stream);
}

HistoryCodec::Decoded<ClipboardFolder> HistoryCodec::decodeFolders(QByteArrayView json)
{
    JsonArrayStream stream(json);
    return decodeFolders(stream);
}
