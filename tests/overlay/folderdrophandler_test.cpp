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
    QMimeData garbage, braced, badJson, image, late;
    garbage.setText(QStringLiteral("pas un identifiant"));
    EXPECT_TRUE(FolderDropHandler::handleDrop({&garbage}, work, store));
    braced.setText(QLatin1Char('{') + uuidText(items[0].id) + QLatin1Char('}')); // only the canonical form
    EXPECT_TRUE(FolderDropHandler::handleDrop({&braced}, work, store));
    badJson.setData(QStringLiteral("application/json"), ("[\" " + uuidText(items[0].id) + "\"]").toUtf8());
    EXPECT_TRUE(FolderDropHandler::handleDrop({&badJson}, work, store));
    image.setData(QStringLiteral("image/png"), "\x89PNG");
    EXPECT_FALSE(FolderDropHandler::handleDrop({&image}, work, store));
    late.setText(uuidText(items[0].id));
    EXPECT_TRUE(FolderDropHandler::handleDrop({&late}, work, QPointer<ClipboardStore>()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.lines(Log::Level::Error).size() == 5; }, 2000))
        << log.lines(Log::Level::Error).join(u'\n').toStdString();
    EXPECT_EQ(store->selection().size(), 2);
    EXPECT_EQ(inWork(), QList<int>{3});
}

} // namespace
