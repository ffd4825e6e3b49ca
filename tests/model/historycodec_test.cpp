// The JSON forms of clips and folders: exact output, the reading rules for
// required, optional and unknown keys, and per-record tolerance of arrays.
// Qt's own JSON parser serves as an independent reader and writer.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>

#include <unistd.h>

#include "model/historycodec.h"
#include "model/jsonarraystream.h"
#include "model/payload.h"
#include "model/referencedate.h"

namespace {

const QUuid kId = QUuid::fromString(QStringLiteral("6f9619ff-8b86-d011-b42d-00c04fc964ff"));
const QUuid kFolder = QUuid::fromString(QStringLiteral("0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d"));
const QByteArray kIdText = "6F9619FF-8B86-D011-B42D-00C04FC964FF";

ClipboardItem minimalItem()
{
    ClipboardItem item;
    item.id = kId;
    item.kind = ClipKind::Text;
    item.preview = QStringLiteral("hi");
    item.dataUTI = QStringLiteral("public.utf8-plain-text");
    item.raw = "hi";
    item.createdAt = 0;
    item.pinned = false;
    return item;
}

ClipboardItem fullItem()
{
    ClipboardItem item = minimalItem();
    item.kind = ClipKind::FileURL;
    item.pinned = true;
    item.createdAt = 737000000.25;
    item.folderId = kFolder;
    item.sourceBundleID = QStringLiteral("org.kde.dolphin");
    item.fileURLString = QStringLiteral("file:///home/a/photo%201.png");
    item.fileName = QStringLiteral("photo 1.png");
    item.fileExt = QStringLiteral("png");
    item.thumbnailPNG = QByteArray("\x89PNG\r\n\x1a\n", 8);
    item.textCharCount = 42;
    return item;
}

QJsonObject parsedObject(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << json.constData();
    return doc.object();
}

QByteArray withMember(const QByteArray &member)
{
    return "{\"id\":\"" + kIdText + "\",\"kind\":\"text\",\"preview\":\"hi\",\"dataUTI\":\"public.utf8-plain-text\","
           "\"raw\":\"aGk=\",\"createdAt\":0,\"pinned\":false" + (member.isEmpty() ? QByteArray() : "," + member)
        + "}";
}

QByteArray without(const char *key)
{
    QJsonObject object = parsedObject(withMember({}));
    object.remove(QLatin1StringView(key));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// ------------------------------------------------------------------ writing

TEST(HistoryCodecWriting, a_full_clip_writes_all_fourteen_keys_in_their_json_forms)
{
    EXPECT_EQ(HistoryCodec::encodeItem(fullItem()),
              QByteArray(R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","kind":"fileURL","preview":"hi",)"
                         R"("dataUTI":"public.utf8-plain-text","raw":"aGk=","createdAt":737000000.25,"pinned":true,)"
                         R"("folderId":"0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D","sourceBundleID":"org.kde.dolphin",)"
                         R"("fileURLString":"file:///home/a/photo%201.png","fileName":"photo 1.png","fileExt":"png",)"
                         R"("thumbnailPNG":"iVBORw0KGgo=","textCharCount":42})"));
}

// Seconds since 2001 with their fraction, written in the fewest digits that
// read back exactly; infinity and NaN are written as zero so the file stays
// readable.
TEST(HistoryCodecWriting, dates_are_seconds_since_2001_and_read_back_exactly)
{
    const struct {
        double value;
        QByteArray text;
        double readBack;
    } rows[] = {{0, "0", 0},
                {-86400.5, "-86400.5", -86400.5},
                {737000000.125, "737000000.125", 737000000.125},
                {referenceDateFromUnix(1700000000.5), "721692800.5", 721692800.5},
                {0.1, "0.1", 0.1},
                {std::numeric_limits<double>::infinity(), "0", 0},
                {std::numeric_limits<double>::quiet_NaN(), "0", 0}};
    for (const auto &row : rows) {
        ClipboardItem item = minimalItem();
        item.createdAt = row.value;
        const QByteArray json = HistoryCodec::encodeItem(item);
        EXPECT_TRUE(json.contains("\"createdAt\":" + row.text + ",")) << json.constData();
        const auto back = HistoryCodec::decodeItem(json);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->createdAt, row.readBack);
    }
}

// A clip without optional fields is written as exactly its seven required
// keys: a lower-case id comes back in upper case, an unknown key read past is
// gone, and an empty raw is the empty string.
TEST(HistoryCodecWriting, what_is_read_is_written_back_in_canonical_form)
{
    const auto item = HistoryCodec::decodeItem(withMember("\"color\":{\"r\":[1,2,{\"x\":null}]}")
                                                   .replace(kIdText, kIdText.toLower()));
    ASSERT_TRUE(item.has_value());
    EXPECT_EQ(*item, minimalItem());
    EXPECT_EQ(HistoryCodec::encodeItem(*item), withMember({}));
    ClipboardItem empty = minimalItem();
    empty.raw.clear();
    EXPECT_TRUE(HistoryCodec::encodeItem(empty).contains("\"raw\":\"\""));
}

// A folder is its three keys, all required; an array of folders keeps the
// ones that decode.
TEST(HistoryCodecWriting, a_folder_is_three_required_keys_and_arrays_are_compact)
{
    const ClipboardFolder folder{kFolder, QStringLiteral("Travail \"urgent\""), 86400};
    const QByteArray json = HistoryCodec::encodeFolder(folder);
    EXPECT_EQ(json, QByteArray(R"({"id":"0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D","name":"Travail \"urgent\"",)"
                               R"("createdAt":86400})"));
    EXPECT_EQ(HistoryCodec::decodeFolder(json), folder);
    for (const char *key : {"id", "name", "createdAt"}) {
        QString why;
        EXPECT_FALSE(HistoryCodec::decodeFolder(QByteArray(json).replace(QByteArray("\"") + key + "\"", "\"x\""), &why));
        EXPECT_EQ(why, QStringLiteral("missing \"%1\"").arg(QLatin1StringView(key)));
    }
    const auto d = HistoryCodec::decodeFolders("[" + json + R"(,{"id":"x","name":"B","createdAt":2}])");
    EXPECT_EQ(d.records, QList<ClipboardFolder>{folder});
    EXPECT_EQ(d.problem, QStringLiteral("record 2: \"id\" is not a UUID string"));
    EXPECT_EQ(HistoryCodec::encodeItems({}), QByteArray("[]"));
    EXPECT_EQ(HistoryCodec::encodeFolders({}), QByteArray("[]"));
    EXPECT_EQ(HistoryCodec::encodeItems({minimalItem(), fullItem()}),
              "[" + HistoryCodec::encodeItem(minimalItem()) + "," + HistoryCodec::encodeItem(fullItem()) + "]");
}

// ------------------------------------------------------------------ reading

QByteArray replaced(const QByteArray &from, const QByteArray &to) { return withMember({}).replace(from, to); }

TEST(HistoryCodecReading, accepts_what_the_rules_allow)
{
    const struct {
        QByteArray json;
        std::function<void(ClipboardItem &)> expected; // applied to the minimal clip
    } rows[] = {
        {withMember("\"folderId\":null,\"sourceBundleID\":null,\"fileURLString\":null,\"fileName\":null,"
                    "\"fileExt\":null,\"thumbnailPNG\":null,\"textCharCount\":null"),
         [](ClipboardItem &) {}},
        {withMember("\"textCharCount\":5.0"), [](ClipboardItem &i) { i.textCharCount = 5; }},
        {replaced("\"pinned\":false", "\"pinn\\u0065d\":true"), [](ClipboardItem &i) { i.pinned = true; }},
        {replaced("\"hi\"", "\"\\ud83d\\ude00\""), [](ClipboardItem &i) { i.preview = QStringLiteral("😀"); }},
        {replaced("\"hi\"", "\"\\ud83d\""), [](ClipboardItem &i) { i.preview = QString(QChar(0xFFFD)); }},
        {QJsonDocument(parsedObject(withMember("\"fileName\":\"a b\""))).toJson(QJsonDocument::Indented),
         [](ClipboardItem &i) { i.fileName = QStringLiteral("a b"); }},
        {replaced("\"createdAt\":0", "\"createdAt\":7.25E8"), [](ClipboardItem &i) { i.createdAt = 725000000.0; }},
        {replaced("\"text\"", "\"unknown\""), [](ClipboardItem &i) { i.kind = ClipKind::Unknown; }},
    };
    for (const auto &row : rows) {
        ClipboardItem expected = minimalItem();
        row.expected(expected);
        EXPECT_EQ(HistoryCodec::decodeItem(row.json), expected) << row.json.constData();
    }
}

TEST(HistoryCodecReading, refuses_a_clip_that_breaks_a_rule_and_says_why)
{
    QList<QPair<QByteArray, QString>> rows = {
        {replaced("\"text\"", "\"TEXT\""), QStringLiteral("\"kind\" is not a known kind")},
        {replaced("\"pinned\":false", "\"pinned\":\"false\""), QStringLiteral("\"pinned\" is not true or false")},
        {replaced("\"createdAt\":0", "\"createdAt\":\"0\""), QStringLiteral("\"createdAt\" is not a number")},
        {replaced("\"hi\"", "12"), QStringLiteral("\"preview\" is not a string")},
        {replaced("aGk=", "a*k="), QStringLiteral("\"raw\" is not a Base64 string")},
        {replaced("\"" + kIdText + "\"", "\"{" + kIdText + "}\""), QStringLiteral("\"id\" is not a UUID string")},
        {replaced("FF\"", "FG\""), QStringLiteral("\"id\" is not a UUID string")},
        {replaced("FF\"", "F\xC3\""), QStringLiteral("\"id\" is not a UUID string")},
        {withMember("\"sourceBundleID\":5"), QStringLiteral("\"sourceBundleID\" is not a string")},
        {withMember("\"textCharCount\":5.5"), QStringLiteral("\"textCharCount\" is not an integer")},
        {replaced("\"hi\"", "\"a\tb\""), QStringLiteral("\"preview\" is not a string")}, // raw control character
        {replaced("false}", "false,}"), QStringLiteral("malformed JSON")},
        {replaced("\"createdAt\":0", "\"createdAt\":01"), QStringLiteral("malformed JSON")},
        {withMember("\"x\":" + QByteArray(300, '[') + QByteArray(300, ']')), QStringLiteral("malformed JSON")},
        {"[1]", QStringLiteral("not a JSON object")},
    };
    for (const char *key : {"id", "kind", "preview", "dataUTI", "raw", "createdAt", "pinned"})
        rows.append({without(key), QStringLiteral("missing \"%1\"").arg(QLatin1StringView(key))});
    for (const auto &[json, reason] : rows) {
        QString why;
        EXPECT_FALSE(HistoryCodec::decodeItem(json, &why).has_value()) << json.constData();
        EXPECT_EQ(why, reason) << json.constData();
    }
}

// ------------------------------------------------------------------ arrays

QByteArray itemsArray(const QList<QByteArray> &elements, const QByteArray &between = ",")
{
    return "[" + QByteArrayList(elements).join(between) + "]";
}

ClipboardItem numbered(int n)
{
    ClipboardItem item = minimalItem();
    item.id = QUuid::createUuidV5(kId, QString::number(n));
    item.preview = QString::number(n);
    return item;
}

QStringList previews(const QList<ClipboardItem> &items)
{
    QStringList out;
    for (const ClipboardItem &i : items)
        out.append(i.preview);
    return out;
}

// `json` streamed in `chunk`-byte reads, from memory; or, given
// `leaveOutFrom`, as the load reads a file holding it: large contents are
// left in the file, and strings from `leaveOutFrom` bytes on (0: none) are
// left out of the records and read again from the file when wanted.
HistoryCodec::Decoded<ClipboardItem> decodeInChunks(const QByteArray &json, qsizetype chunk, qsizetype bufferSize,
                                                    std::optional<qsizetype> leaveOutFrom = std::nullopt)
{
    qsizetype at = 0;
    JsonArrayStream stream(
        [&](char *buffer, qint64 capacity, QString *) -> qint64 {
            const qsizetype n = std::min<qsizetype>({chunk, qsizetype(capacity), json.size() - at});
            std::memcpy(buffer, json.constData() + at, std::size_t(n));
            at += n;
            return n;
        },
        bufferSize);
    if (!leaveOutFrom)
        return HistoryCodec::decodeItems(stream);
    QTemporaryFile file;
    EXPECT_TRUE(file.open() && file.write(json) == json.size() && file.flush());
    stream.leaveOutStringsFrom(*leaveOutFrom);
    return HistoryCodec::decodeItems(stream, std::make_shared<PayloadFile>(::dup(file.handle()), file.fileName()));
}

struct ArrayCase {
    const char *name;
    QByteArray json;
    QStringList kept;
    qsizetype skipped;
    QString problemStart; // empty: the array must be clean
};

class HistoryCodecArrays : public ::testing::TestWithParam<ArrayCase> {};

TEST_P(HistoryCodecArrays, keep_every_record_that_decodes)
{
    const ArrayCase &c = GetParam();
    // The same text read whole and in chunks of a few bytes must agree.
    for (qsizetype chunk : {qsizetype(0), qsizetype(1), qsizetype(7), qsizetype(64)}) {
        const auto d = chunk == 0 ? HistoryCodec::decodeItems(c.json) : decodeInChunks(c.json, chunk, 16);
        EXPECT_EQ(previews(d.records), c.kept) << "chunk " << chunk;
        EXPECT_EQ(d.skipped, c.skipped) << "chunk " << chunk;
        if (c.problemStart.isEmpty())
            EXPECT_TRUE(d.clean()) << d.problem.toStdString();
        else
            EXPECT_TRUE(d.problem.startsWith(c.problemStart)) << d.problem.toStdString() << " chunk " << chunk;
    }
}

const QByteArray r1 = HistoryCodec::encodeItem(numbered(1));
const QByteArray r2 = HistoryCodec::encodeItem(numbered(2));
const QByteArray r3 = HistoryCodec::encodeItem(numbered(3));

INSTANTIATE_TEST_SUITE_P(
    Tolerance, HistoryCodecArrays,
    ::testing::Values(
        ArrayCase{"empty_array", "[]", {}, 0, {}},
        ArrayCase{"three_good_records", itemsArray({r1, r2, r3}), {"1", "2", "3"}, 0, {}},
        ArrayCase{"whitespace_everywhere", " \n[ " + r1 + " ,\n\t" + r2 + " ]\n ", {"1", "2"}, 0, {}},
        ArrayCase{"byte_order_mark_is_tolerated", "\xEF\xBB\xBF" + itemsArray({r1}), {"1"}, 0, {}},
        ArrayCase{"second_record_without_pinned",
                  itemsArray({r1, QByteArray(r2).replace(",\"pinned\":false", ""), r3}), {"1", "3"}, 1,
                  QStringLiteral("record 2: missing \"pinned\"")},
        ArrayCase{"a_number_among_records", itemsArray({r1, "42", r3}), {"1", "3"}, 1,
                  QStringLiteral("record 2: not a JSON object")},
        ArrayCase{"an_object_instead_of_an_array", r1, {}, 0, QStringLiteral("not a JSON array")},
        ArrayCase{"an_empty_file", "", {}, 0, QStringLiteral("empty")},
        ArrayCase{"cut_inside_the_third_record", itemsArray({r1, r2, r3}).left(r1.size() + r2.size() + 20),
                  {"1", "2"}, 0, QStringLiteral("ends inside the record")},
        ArrayCase{"cut_after_a_comma", "[" + r1 + ",", {"1"}, 0, QStringLiteral("ends before the array is closed")},
        ArrayCase{"missing_comma_between_records", itemsArray({r1, r2, r3}, ""), {"1", "2", "3"}, 0,
                  QStringLiteral("syntax error")},
        ArrayCase{"garbage_glued_before_a_record", itemsArray({r1, "xx" + r2, r3}), {"1", "2", "3"}, 0,
                  QStringLiteral("syntax error")},
        ArrayCase{"record_missing_its_closing_brace", itemsArray({r1, r2.left(r2.size() - 1), r3}), {"1", "3"},
                  1, QStringLiteral("record 2: malformed JSON")},
        ArrayCase{"data_after_the_array", itemsArray({r1}) + "x", {"1"}, 0,
                  QStringLiteral("data after the array")}),
    [](const auto &info) { return std::string(info.param.name); });

// Clips whose texts hold every character JSON escapes or structures with;
// clips 7 and 19 are large enough for a history file to keep in place.
QList<ClipboardItem> randomItems(std::mt19937 &rng)
{
    const auto randomText = [&rng](int maxLen) {
        const char16_t samples[] = {u'a', u'"', u'\\', u'/', u'\n', u'\t', u'\b', u'é', u'漢',
                                    u'{', u']', u' ', u'\x01', u'\x7f', u'\u2028'};
        QString s;
        for (int i = int(rng() % (maxLen + 1)); i > 0; --i)
            s.append(QChar(samples[rng() % std::size(samples)]));
        return rng() % 10 == 0 ? s + QStringLiteral("😀") : s;
    };
    const auto randomBytes = [&rng](int minLen, int maxLen) {
        QByteArray b(qsizetype(minLen + rng() % (maxLen - minLen + 1)), Qt::Uninitialized);
        for (char &c : b)
            c = char(rng());
        return b;
    };
    const auto maybe = [&rng](auto value) { return rng() % 2 ? std::optional(value) : std::nullopt; };
    QList<ClipboardItem> items;
    for (int i = 0; i < 30; ++i) {
        ClipboardItem item;
        item.id = QUuid::createUuid();
        item.kind = ClipKind(rng() % 6);
        item.preview = randomText(40);
        item.dataUTI = randomText(10);
        item.raw = i == 7 || i == 19 ? randomBytes(300000, 301000) : randomBytes(0, 200);
        item.createdAt = double(int(rng())) / 7.0;
        item.pinned = rng() % 2;
        item.folderId = maybe(QUuid::createUuid());
        item.sourceBundleID = maybe(randomText(10));
        item.fileURLString = maybe(randomText(30));
        item.fileName = maybe(randomText(10));
        item.fileExt = maybe(randomText(3));
        item.thumbnailPNG = maybe(randomBytes(0, 500));
        item.textCharCount = maybe(qint64(rng()) * 1000);
        items.append(item);
    }
    return items;
}

// Random histories, large records included, read back equal to what was
// written whatever the read size, and parse as valid JSON for Qt too.
// Leaving long strings out of the records (the load's way of stepping over
// large contents) decodes exactly what reading every byte decodes, whole or
// damaged.
TEST(HistoryCodecArrays, long_strings_left_out_decode_what_reading_every_byte_decodes)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 24; ++round) {
        const QList<ClipboardItem> items = randomItems(rng);
        QByteArray json = HistoryCodec::encodeItems(items);
        if (round < 4) {
            EXPECT_FALSE(json.contains('\n')) << "compact output";
            EXPECT_EQ(QJsonDocument::fromJson(json).array().size(), items.size());
            EXPECT_EQ(decodeInChunks(json, 1 + qsizetype(rng() % 5000), 64).records, items) << "round " << round;
        }
        // Other writers may escape '/' in Base64: clip 7's content is written
        // so, four times, so that its length alone does not give it away.
        qsizetype at = -1;
        for (int i = 0; i <= 7; ++i)
            at = json.indexOf("\"raw\":\"", at + 1);
        for (int i = 0; i < 4; ++i) {
            at = json.indexOf('/', at + 7);
            json.insert(at, '\\');
            at += 2;
        }
        // Later rounds damage the text: a quote dropped (a string then runs
        // on into the next record), a byte changed, or the text cut short.
        switch (round < 4 ? 0 : round % 4) {
        case 1: json.remove(json.indexOf('"', qsizetype(rng() % json.size())), 1); break;
        case 2: json[qsizetype(rng() % json.size())] = "\"{}\\,"[rng() % 5]; break;
        case 3: json.truncate(qsizetype(rng() % json.size())); break;
        default: break;
        }
        const qsizetype chunk = 1 + qsizetype(rng() % 3000);
        const auto expected = decodeInChunks(json, chunk, 16, 0);
        const auto got = decodeInChunks(json, chunk, 16, 1 + qsizetype(rng() % 64));
        EXPECT_EQ(got.records, expected.records) << "round " << round;
        EXPECT_EQ(got.skipped, expected.skipped) << "round " << round;
        EXPECT_EQ(got.problem, expected.problem) << "round " << round;
        if (round < 4) {
            EXPECT_TRUE(got.clean()) << got.problem.toStdString();
            EXPECT_FALSE(got.records[19].raw.heldBytes().has_value()) << "a large content is left where it lies";
        }
    }
}

} // namespace
