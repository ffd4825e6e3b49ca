// Reading a history file while leaving long strings out of the records (the
// load's way of stepping over large contents) must decode exactly what
// reading every byte decodes: on whole files and on damaged ones.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include <QTemporaryFile>

#include <unistd.h>

#include "model/historycodec.h"
#include "model/jsonarraystream.h"
#include "model/payload.h"

namespace {

// Texts made of the characters that end, escape or open something in JSON.
QString awkwardText(std::mt19937 &rng, int length)
{
    const char16_t samples[] = {u'A', u'"', u'\\', u'{', u'}', u'é', u'\n', u'/'};
    QString s;
    for (int i = 0; i < length; ++i)
        s.append(QChar(rng() % 4 ? u'A' : samples[rng() % std::size(samples)]));
    return s;
}

QByteArray randomBytes(std::mt19937 &rng, qsizetype n)
{
    QByteArray b(n, Qt::Uninitialized);
    for (char &c : b)
        c = char(rng());
    return b;
}

QByteArray randomHistory(std::mt19937 &rng)
{
    QList<ClipboardItem> items;
    for (int i = 0; i < 12; ++i) {
        ClipboardItem item;
        item.id = QUuid::createUuid();
        item.kind = ClipKind(rng() % 6);
        item.preview = awkwardText(rng, int(rng() % 300));
        item.dataUTI = QStringLiteral("public.tiff");
        // Some contents large enough to stay in the file.
        item.raw = randomBytes(rng, i % 4 == 1 ? 300'000 + qsizetype(rng() % 1000) : qsizetype(rng() % 400));
        item.createdAt = double(rng() % 100000);
        item.pinned = rng() % 2;
        if (rng() % 2)
            item.fileURLString = awkwardText(rng, int(rng() % 200));
        if (rng() % 2)
            item.thumbnailPNG = randomBytes(rng, qsizetype(rng() % 600));
        items.append(item);
    }
    QByteArray json = HistoryCodec::encodeItems(items);
    // Other writers may escape '/' in Base64 ("\/"): the second record's
    // large content is written so (four times, so that its length alone
    // does not give it away).
    qsizetype at = json.indexOf("\"raw\":\"", json.indexOf("\"raw\":\"") + 1) + 7;
    for (int i = 0; i < 4; ++i) {
        at = json.indexOf('/', at);
        json.insert(at, '\\');
        at += 2;
    }
    return json;
}

// The same text decoded from a file in `chunk`-byte reads, leaving out
// strings from `leaveOutFrom` bytes on (0: none).
HistoryCodec::Decoded<ClipboardItem> decodeFromFile(const QByteArray &json, qsizetype chunk, qsizetype leaveOutFrom)
{
    QTemporaryFile file;
    EXPECT_TRUE(file.open());
    file.write(json);
    file.flush();
    const int fd = ::dup(file.handle());
    auto payloads = std::make_shared<PayloadFile>(fd, file.fileName());
    qint64 at = 0;
    JsonArrayStream stream(
        [&](char *buffer, qint64 capacity, QString *) -> qint64 {
            const qint64 n = std::min<qint64>(std::min<qint64>(chunk, capacity), json.size() - at);
            const ssize_t got = ::pread(fd, buffer, std::size_t(n), off_t(at));
            at += got;
            return got;
        },
        16, json.size());
    stream.leaveOutStringsFrom(leaveOutFrom);
    auto decoded = HistoryCodec::decodeItems(stream, payloads);
    // Compared after the file is gone: a stored content must still read.
    return decoded;
}

} // namespace

TEST(LeftOutStrings, decode_exactly_what_reading_every_byte_decodes_whole_or_damaged)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 24; ++round) {
        QByteArray json = randomHistory(rng);
        // Rounds after the first few damage the text: a quote dropped (a
        // string then runs on into the next record), a byte changed, or the
        // text cut short.
        switch (round < 4 ? 0 : round % 4) {
        case 1: json.remove(json.indexOf('"', qsizetype(rng() % json.size())), 1); break;
        case 2: json[qsizetype(rng() % json.size())] = "\"{}\\,"[rng() % 5]; break;
        case 3: json.truncate(qsizetype(rng() % json.size())); break;
        default: break;
        }
        const qsizetype chunk = 1 + qsizetype(rng() % 3000);
        const auto expected = decodeFromFile(json, chunk, 0);
        const auto got = decodeFromFile(json, chunk, 1 + qsizetype(rng() % 64));
        ASSERT_EQ(got.records.size(), expected.records.size()) << "round " << round;
        for (qsizetype i = 0; i < got.records.size(); ++i)
            EXPECT_EQ(got.records[i], expected.records[i]) << "round " << round << " record " << i;
        EXPECT_EQ(got.skipped, expected.skipped) << "round " << round;
        EXPECT_EQ(got.problem, expected.problem) << "round " << round;
        if (round < 4) {
            EXPECT_TRUE(got.clean()) << got.problem.toStdString();
            // A large content is left where it lies, not held.
            EXPECT_FALSE(got.records[5].raw.heldBytes().has_value());
        }
    }
}

TEST(LeftOutStrings, a_record_start_inside_a_cut_off_string_is_still_found)
{
    ClipboardItem first;
    first.id = QUuid::createUuid();
    first.preview = QString(5000, u'A');
    first.raw = "x";
    ClipboardItem second = first;
    second.id = QUuid::createUuid();
    second.preview = QStringLiteral("second");
    const QByteArray a = HistoryCodec::encodeItem(first);
    const QByteArray b = HistoryCodec::encodeItem(second);
    // The first record's long preview loses its closing quote and runs into
    // the second record.
    const QByteArray json = "[" + a.left(a.indexOf("AAAA") + 4000) + "," + b + "]";
    const auto d = decodeFromFile(json, 512, 100);
    ASSERT_EQ(d.records.size(), 1);
    EXPECT_EQ(d.records[0].preview, QStringLiteral("second"));
    EXPECT_EQ(d.problem, decodeFromFile(json, 512, 0).problem);
}
