// Drops on folder chips: which payload wins, how ids are parsed, and that
// the move lands one event-loop turn later.
#include <gtest/gtest.h>

#include <QMimeData>
#include <QTest>

#include "cards/carddragpayload.h"
#include "model/uuidtext.h"
#include "overlay/folderdrophandler.h"
#include "support/logcapture.h"
#include "support/storefixture.h"

namespace {

TEST(FolderDropIds, OnlyOneCanonicalIdAfterTrimmingOrAnArrayOfThem)
{
    const QString id = QStringLiteral("6F1D3C9A-0B7E-4C2D-9A51-3E8F00C4B2A7");
    const std::pair<QString, bool> texts[] = {
        {id, true},
        {id.toLower(), true},
        {QStringLiteral("\t ") + id + QStringLiteral(" \r\n"), true},
        {QLatin1Char('{') + id + QLatin1Char('}'), false},
        {id.left(8) + QStringLiteral(" ") + id.mid(9), false},
        {QString(), false}};
    for (const auto &[text, valid] : texts) {
        const std::optional<QUuid> parsed = FolderDropHandler::parseId(text);
        EXPECT_EQ(parsed ? uuidText(*parsed) : QString(), valid ? id : QString()) << text.toStdString();
    }

    const std::pair<QByteArray, int> arrays[] = { // -1: not decodable
        {("[\"" + id + "\",\"" + id.toLower() + "\"]").toUtf8(), 2},
        {"[]", 0},
        {("[ \"" + id + "\" ]").toUtf8(), 1},
        {("[\" " + id + "\"]").toUtf8(), -1}, // spaces inside the quotes
        {"[1]", -1},
        {("\"" + id + "\"").toUtf8(), -1},
        {QByteArray("\x00\xff\xfe", 3), -1}};
    for (const auto &[json, count] : arrays) {
        const std::optional<QList<QUuid>> ids = FolderDropHandler::decodeIdArray(json);
        EXPECT_EQ(ids ? int(ids->size()) : -1, count) << json.toStdString();
    }
}

class FolderDropTest : public ::testing::Test
{
protected:
    void SetUp() override { restart(); }
    void restart()
    {
        items[3].folderId = work.id;
        store = &fx.makeStore(items, {work});
        store->setSelection({items[0].id, items[1].id});
        log.clear(); // the store's own start-up lines
    }
    QList<int> inWork() const
    {
        QList<int> in;
        for (int i = 0; i < 4; ++i)
            for (const ClipboardItem &item : store->items())
                if (item.id == items[i].id && item.folderId == work.id)
                    in.append(i);
        return in;
    }
    QMimeData *text(const QString &text)
    {
        auto *mime = new QMimeData;
        mime->setText(text);
        return mime;
    }

    StoreFixture fx;
    ClipboardFolder work = StoreFixture::folder(QStringLiteral("Travail"));
    QList<ClipboardItem> items = fx.textClips(4);
    ClipboardStore *store = nullptr;
    LogCapture log;
};

// Each payload a drop can carry, and the clips that end up in "Travail"
// (clip 3 starts there; clips 0 and 1 are selected).
TEST_F(FolderDropTest, EachPayloadMovesExactlyItsClipsOneTurnLater)
{
    const auto idArray = [&](int a, int b) {
        return QStringLiteral("[\"%1\",\"%2\"]").arg(uuidText(items[a].id), uuidText(items[b].id));
    };
    auto *json = new QMimeData;
    json->setData(QStringLiteral("application/json"), idArray(1, 2).toUtf8());
    const struct {
        const char *name;
        QMimeData *payload;
        bool onRecents;
        QList<int> inWork;
    } rows[] = {
        {"id_with_spaces_and_a_line_break", text(QStringLiteral("  ") + uuidText(items[2].id) + "\n"), false, {2, 3}},
        {"string_holding_a_json_array", text(idArray(0, 2)), false, {0, 2, 3}},
        {"json_only_takes_the_data_fallback", json, false, {1, 2, 3}},
        {"card_payload_moves_only_the_dragged_clip_despite_a_selection",
         CardDragPayload::create(items[2], store->selection()), false, {2, 3}},
        {"on_the_recents_takes_clips_out_of_their_folder", text(uuidText(items[3].id)), true, {}}};
    for (const auto &row : rows) {
        restart();
        std::unique_ptr<QMimeData> mime(row.payload);
        EXPECT_TRUE(FolderDropHandler::handleDrop({mime.get()}, row.onRecents ? std::nullopt : std::optional(work), store));
        EXPECT_EQ(inWork(), QList<int>{3}) << row.name << ": the move waits for the next event-loop turn";
        ASSERT_TRUE(QTest::qWaitFor([&] { return store->selection().isEmpty(); }, 2000)) << row.name;
        EXPECT_EQ(inWork(), row.inWork) << row.name;
    }
}

TEST_F(FolderDropTest, UndecodablePayloadsChangeNothingAndOnlyAnUnknownTypeIsRefused)
{
    QMimeData garbage, badJson, image, late;
    garbage.setText(QStringLiteral("pas un identifiant"));
    EXPECT_TRUE(FolderDropHandler::handleDrop({&garbage}, work, store));
    badJson.setData(QStringLiteral("application/json"), "[\"nope\"]");
    EXPECT_TRUE(FolderDropHandler::handleDrop({&badJson}, work, store));
    image.setData(QStringLiteral("image/png"), "\x89PNG");
    EXPECT_FALSE(FolderDropHandler::handleDrop({&image}, work, store));
    late.setText(uuidText(items[0].id));
    EXPECT_TRUE(FolderDropHandler::handleDrop({&late}, work, QPointer<ClipboardStore>()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.lines(Log::Level::Error).size() == 4; }, 2000))
        << log.lines(Log::Level::Error).join(u'\n').toStdString();
    EXPECT_EQ(store->selection().size(), 2);
    EXPECT_EQ(inWork(), QList<int>{3});
}

} // namespace
