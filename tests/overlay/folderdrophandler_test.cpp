// Drops on folder chips: which payload wins, how ids are parsed, what is
// logged, and that the move lands one event-loop turn later.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMimeData>
#include <QTest>

#include "cards/cardview.h"
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
    bool waitForLine(const QString &line)
    {
        return QTest::qWaitFor([&] { return log.contains(line); }, 2000);
    }

    StoreFixture fx;
    ClipboardFolder work;
    QList<ClipboardItem> items;
    ClipboardStore *store = nullptr;
    LogCapture log;
};

TEST_F(FolderDropTest, aUuidWithSpacesAndALineBreakMovesThatOneClip)
{
    QMimeData mime;
    mime.setText(QStringLiteral("  ") + uuidText(items[2].id) + QStringLiteral("\n"));

    EXPECT_TRUE(FolderDropHandler::handleDrop({&mime}, work, store));
    EXPECT_FALSE(inWork(2)) << "the move waits for the next event-loop turn";
    ASSERT_TRUE(waitForLine(QStringLiteral("🟢 DROP: assign() completed, selection cleared")));
    EXPECT_TRUE(inWork(2));
    EXPECT_FALSE(inWork(0));
    EXPECT_TRUE(store->selection().isEmpty());
    EXPECT_EQ(log.lines().mid(0, 5),
              (QStringList{QStringLiteral("🟢 DROP RECEIVED: 1 provider(s), target=Travail"),
                           QStringLiteral("🟢 DROP: Provider[0] canLoadString=true, hasJSON=false, hasText=true"),
                           QStringLiteral("🟢 DROP: Using String loadObject method"),
                           QStringLiteral("🟢 DROP: String loaded, length=39"),
                           QStringLiteral("🟢 DROP SUCCESS: Single UUID=%1..., assigning to 'Travail'")
                               .arg(uuidTag(items[2].id))}));
    EXPECT_TRUE(log.contains(QStringLiteral("🟢 DROP: Returning true (String method)")));
}

TEST_F(FolderDropTest, aStringHoldingAJsonArrayMovesAllItsClips)
{
    QMimeData mime;
    mime.setText(QStringLiteral("[\"%1\",\"%2\"]").arg(uuidText(items[0].id), uuidText(items[2].id)));

    EXPECT_TRUE(FolderDropHandler::handleDrop({&mime}, work, store));
    ASSERT_TRUE(waitForLine(QStringLiteral("🟢 DROP: assign() completed, selection cleared")));
    EXPECT_TRUE(inWork(0));
    EXPECT_TRUE(inWork(2));
    EXPECT_FALSE(inWork(1));
}

TEST_F(FolderDropTest, aJsonOnlyPayloadTakesTheDataFallback)
{
    QMimeData mime;
    mime.setData(QStringLiteral("application/json"),
                 QStringLiteral("[\"%1\",\"%2\"]").arg(uuidText(items[1].id), uuidText(items[2].id)).toUtf8());
    EXPECT_TRUE(FolderDropHandler::handleDrop({&mime}, work, store));
    ASSERT_TRUE(waitForLine(QStringLiteral("🟢 DROP: assign() completed (JSON fallback), selection cleared")));
    EXPECT_TRUE(inWork(1));
    EXPECT_TRUE(inWork(2));
}

TEST_F(FolderDropTest, aCardPayloadMovesOnlyTheDraggedClipEvenWithASelection)
{
    std::unique_ptr<QMimeData> mime(CardView::dragPayload(items[2], store->selection()));
    EXPECT_TRUE(FolderDropHandler::handleDrop({mime.get()}, work, store));
    ASSERT_TRUE(waitForLine(QStringLiteral("🟢 DROP: assign() completed, selection cleared")));
    EXPECT_TRUE(inWork(2));
    EXPECT_FALSE(inWork(0));
    EXPECT_FALSE(inWork(1));
}

TEST_F(FolderDropTest, droppingOnTheRecentsTakesClipsOutOfTheirFolder)
{
    QMimeData mime;
    mime.setText(uuidText(items[3].id));
    EXPECT_TRUE(FolderDropHandler::handleDrop({&mime}, std::nullopt, store));
    ASSERT_TRUE(waitForLine(QStringLiteral("🟢 DROP: assign() completed, selection cleared")));
    EXPECT_FALSE(inWork(3));
}

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
