// Drops on folder chips: which payload wins, how ids are parsed, and that
// the move lands one event-loop turn later.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMimeData>
#include <QTest>

#include "cards/carddragpayload.h"
#include "model/uuidtext.h"
#include "overlay/folderdrophandler.h"
#include "support/storefixture.h"
#include "support/logcapture.h"

namespace {

const QString kId = QStringLiteral("6F1D3C9A-0B7E-4C2D-9A51-3E8F00C4B2A7");

struct IdRow
{
    const char *name;
    QString text;
    bool valid;
};

class ParseIdTest : public ::testing::TestWithParam<IdRow>
{
};

TEST_P(ParseIdTest, acceptsOnlyOneCanonicalIdAfterTrimming)
{
    const std::optional<QUuid> id = FolderDropHandler::parseId(GetParam().text);
    EXPECT_EQ(id.has_value(), GetParam().valid);
    if (id) {
        EXPECT_EQ(uuidText(*id), kId);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseIdTest,
    ::testing::Values(IdRow{"canonical_upper_case", kId, true}, IdRow{"lower_case", kId.toLower(), true},
                      IdRow{"surrounding_spaces", QStringLiteral("   ") + kId + QStringLiteral("  "), true},
                      IdRow{"leading_tab_and_crlf", QStringLiteral("\t") + kId + QStringLiteral("\r\n"), true},
                      IdRow{"braces_are_not_an_id", QLatin1Char('{') + kId + QLatin1Char('}'), false},
                      IdRow{"one_character_short", kId.left(35), false},
                      IdRow{"space_inside", kId.left(8) + QStringLiteral(" ") + kId.mid(9), false},
                      IdRow{"garbage", QStringLiteral("hello world"), false}, IdRow{"empty", QString(), false}),
    [](const auto &info) { return std::string(info.param.name); });

struct ArrayRow
{
    const char *name;
    QByteArray json;
    int count; // -1: not decodable
};

class DecodeIdArrayTest : public ::testing::TestWithParam<ArrayRow>
{
};

TEST_P(DecodeIdArrayTest, decodesOnlyArraysOfIdStrings)
{
    const std::optional<QList<QUuid>> ids = FolderDropHandler::decodeIdArray(GetParam().json);
    EXPECT_EQ(ids ? int(ids->size()) : -1, GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, DecodeIdArrayTest,
    ::testing::Values(
        ArrayRow{"two_ids", ("[\"" + kId + "\",\"" + kId.toLower() + "\"]").toUtf8(), 2},
        ArrayRow{"empty_array", "[]", 0}, ArrayRow{"spaced_json_layout", ("[ \"" + kId + "\" ]").toUtf8(), 1},
        ArrayRow{"element_with_spaces_inside_quotes", ("[\" " + kId + "\"]").toUtf8(), -1},
        ArrayRow{"number_element", "[1]", -1},
        ArrayRow{"single_string", ("\"" + kId + "\"").toUtf8(), -1}, ArrayRow{"truncated", "[\"6F1D", -1},
        ArrayRow{"binary_garbage", QByteArray("\x00\xff\xfe", 3), -1}),
    [](const auto &info) { return std::string(info.param.name); });

class FolderDropTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        work = StoreFixture::folder(QStringLiteral("Travail"));
        items = fx.textClips(4);
        items[3].folderId = work.id;
        store = &fx.makeStore(items, {work});
        store->setSelection({items[0].id, items[1].id});
        log.clear(); // the store's own start-up lines
    }
    bool inWork(int i) const
    {
        for (const ClipboardItem &item : store->items())
            if (item.id == items[i].id)
                return item.folderId == work.id;
        return false;
    }

    StoreFixture fx;
    ClipboardFolder work;
    QList<ClipboardItem> items;
    ClipboardStore *store = nullptr;
    LogCapture log;
};

// Each payload a drop can carry, and the clips that end up in "Travail"
// (clip 3 starts there; clips 0 and 1 are selected).
struct DropRow
{
    const char *name;
    std::function<QMimeData *(const QList<ClipboardItem> &, const QSet<QUuid> &)> payload;
    bool onRecents;
    QList<int> inWork;
};

class DropPayload : public FolderDropTest, public ::testing::WithParamInterface<DropRow>
{
};

TEST_P(DropPayload, movesExactlyItsClipsOneTurnLater)
{
    std::unique_ptr<QMimeData> mime(GetParam().payload(items, store->selection()));
    const std::optional<ClipboardFolder> target = GetParam().onRecents ? std::nullopt : std::optional(work);
    EXPECT_TRUE(FolderDropHandler::handleDrop({mime.get()}, target, store));
    EXPECT_EQ(inWork(2), false) << "the move waits for the next event-loop turn";
    auto moved = [&] {
        QList<int> in;
        for (int i = 0; i < 4; ++i)
            if (inWork(i))
                in.append(i);
        return in;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return store->selection().isEmpty(); }, 2000));
    EXPECT_EQ(moved(), GetParam().inWork);
}

QMimeData *textPayload(const QString &text)
{
    auto *mime = new QMimeData;
    mime->setText(text);
    return mime;
}

QString idArray(const QList<ClipboardItem> &items, int a, int b)
{
    return QStringLiteral("[\"%1\",\"%2\"]").arg(uuidText(items[a].id), uuidText(items[b].id));
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, DropPayload,
    ::testing::Values(
        DropRow{"id_with_spaces_and_a_line_break",
                [](const auto &items, const auto &) {
                    return textPayload(QStringLiteral("  ") + uuidText(items[2].id) + QStringLiteral("\n"));
                },
                false, {2, 3}},
        DropRow{"string_holding_a_json_array",
                [](const auto &items, const auto &) { return textPayload(idArray(items, 0, 2)); }, false, {0, 2, 3}},
        DropRow{"json_only_takes_the_data_fallback",
                [](const auto &items, const auto &) {
                    auto *mime = new QMimeData;
                    mime->setData(QStringLiteral("application/json"), idArray(items, 1, 2).toUtf8());
                    return mime;
                },
                false, {1, 2, 3}},
        DropRow{"card_payload_moves_only_the_dragged_clip_despite_a_selection",
                [](const auto &items, const auto &selection) { return CardDragPayload::create(items[2], selection); },
                false, {2, 3}},
        DropRow{"on_the_recents_takes_clips_out_of_their_folder",
                [](const auto &items, const auto &) { return textPayload(uuidText(items[3].id)); }, true, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(FolderDropTest, undecodablePayloadsChangeNothingAndOnlyAnUnknownTypeIsRefused)
{
    QMimeData garbage;
    garbage.setText(QStringLiteral("pas un identifiant"));
    EXPECT_TRUE(FolderDropHandler::handleDrop({&garbage}, work, store));
    QMimeData badJson;
    badJson.setData(QStringLiteral("application/json"), "[\"nope\"]");
    EXPECT_TRUE(FolderDropHandler::handleDrop({&badJson}, work, store));
    QMimeData image;
    image.setData(QStringLiteral("image/png"), "\x89PNG");
    EXPECT_FALSE(FolderDropHandler::handleDrop({&image}, work, store));
    QMimeData late;
    late.setText(uuidText(items[0].id));
    EXPECT_TRUE(FolderDropHandler::handleDrop({&late}, work, QPointer<ClipboardStore>()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.lines(Log::Level::Error).size() == 4; }, 2000))
        << log.lines(Log::Level::Error).join(u'\n').toStdString();
    EXPECT_EQ(store->selection().size(), 2);
    EXPECT_FALSE(inWork(0));
}

} // namespace
