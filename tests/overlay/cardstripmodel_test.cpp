// The strip's model follows the store's visible list through inserts,
// deletes, moves, folder and search changes, checked by Qt's model tester.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "overlay/cardstripmodel.h"
#include "storefixture.h"

namespace {

class CardStripModelTest : public ::testing::Test
{
protected:
    QList<QString> rows(const CardStripModel &model) const
    {
        QList<QString> out;
        for (int i = 0; i < model.rowCount(); ++i)
            out.append(model.data(model.index(i)).toString());
        return out;
    }
    QList<QString> visible(const ClipboardStore &store) const
    {
        QList<QString> out;
        for (const ClipboardItem &item : store.visibleItems())
            out.append(item.preview);
        return out;
    }

    StoreFixture fx;
};

TEST_F(CardStripModelTest, startsWithTheVisibleItemsNewestFirst)
{
    ClipboardStore &store = fx.makeStore(fx.textClips(5));
    CardStripModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(rows(model), (QList<QString>{"clip 0", "clip 1", "clip 2", "clip 3", "clip 4"}));
    EXPECT_EQ(model.rowOf(store.visibleItems()[3].id), 3);
    EXPECT_EQ(model.itemAt(5), nullptr);
}

TEST_F(CardStripModelTest, aNewClipIsOneInsertedRowAtTheFront)
{
    ClipboardStore &store = fx.makeStore(fx.textClips(4));
    CardStripModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    store.insert(fx.textClip(QStringLiteral("fresh"), -1));

    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 0);
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(rows(model), visible(store));
}

TEST_F(CardStripModelTest, deletingTheSelectionRemovesOnlyThoseRows)
{
    ClipboardStore &store = fx.makeStore(fx.textClips(6));
    CardStripModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    const QList<ClipboardItem> before = store.visibleItems();

    store.setSelection({before[1].id, before[2].id, before[4].id});
    store.deleteSelectedItems();

    EXPECT_EQ(removed.size(), 2); // rows 4, then 1..2
    EXPECT_EQ(rows(model), (QList<QString>{"clip 0", "clip 3", "clip 5"}));
    EXPECT_EQ(rows(model), visible(store));
}

TEST_F(CardStripModelTest, bumpingAClipToTheTopIsARowMove)
{
    ClipboardStore &store = fx.makeStore(fx.textClips(5));
    CardStripModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    const QUuid third = store.visibleItems()[3].id;
    QPersistentModelIndex persistent = model.index(3);

    fx.clock.advance(10);
    store.bumpToTop(third);

    EXPECT_EQ(moved.size(), 1);
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(rows(model), (QList<QString>{"clip 3", "clip 0", "clip 1", "clip 2", "clip 4"}));
    EXPECT_EQ(persistent.row(), 0);
}

TEST_F(CardStripModelTest, folderChangeSwapsTheRowsForTheFoldersClips)
{
    const ClipboardFolder work = StoreFixture::folder(QStringLiteral("Travail"));
    QList<ClipboardItem> items = fx.textClips(3);
    items.append(fx.textClip(QStringLiteral("in folder A"), 10, work.id));
    items.append(fx.textClip(QStringLiteral("in folder B"), 11, work.id));
    ClipboardStore &store = fx.makeStore(items, {work});
    CardStripModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    store.setCurrentFolder(work.id);
    EXPECT_EQ(rows(model), (QList<QString>{"in folder A", "in folder B"}));
    store.setCurrentFolder(std::nullopt);
    EXPECT_EQ(rows(model), (QList<QString>{"clip 0", "clip 1", "clip 2"}));
}

TEST_F(CardStripModelTest, searchFiltersAndRestoresRows)
{
    QList<ClipboardItem> items = {fx.textClip(QStringLiteral("apple pie"), 0), fx.textClip(QStringLiteral("banana"), 1),
                                  fx.textClip(QStringLiteral("Apple juice"), 2), fx.textClip(QStringLiteral("cherry"), 3)};
    ClipboardStore &store = fx.makeStore(items);
    CardStripModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    store.setSearchQuery(QStringLiteral("app"));
    EXPECT_EQ(rows(model), (QList<QString>{"apple pie", "Apple juice"}));
    store.setSearchQuery(QStringLiteral("zzz"));
    EXPECT_EQ(model.rowCount(), 0);
    store.setSearchQuery(QString());
    EXPECT_EQ(rows(model), (QList<QString>{"apple pie", "banana", "Apple juice", "cherry"}));
}

TEST_F(CardStripModelTest, assignOutOfTheViewAndClearingKeepTheModelConsistent)
{
    const ClipboardFolder work = StoreFixture::folder(QStringLiteral("Travail"));
    ClipboardStore &store = fx.makeStore(fx.textClips(8), {work});
    CardStripModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QList<ClipboardItem> v = store.visibleItems();

    store.assign({v[0].id, v[3].id, v[7].id}, work);
    EXPECT_EQ(rows(model), visible(store));
    store.togglePin(v[1].id);
    EXPECT_TRUE(model.data(model.index(0), CardStripModel::ItemRole).value<ClipboardItem>().pinned);
    store.clearRecents();
    EXPECT_EQ(rows(model), visible(store));
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(CardStripModelTest, selectionChangesRepaintOnlyTheAffectedRows)
{
    ClipboardStore &store = fx.makeStore(fx.textClips(10));
    CardStripModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QList<ClipboardItem> v = store.visibleItems();

    store.setSelection({v[2].id});
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 2);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 2);
    EXPECT_TRUE(model.data(model.index(2), CardStripModel::SelectedRole).toBool());

    store.setSelection({v[5].id});
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[1][0].value<QModelIndex>().row(), 2);
    EXPECT_EQ(changed[1][1].value<QModelIndex>().row(), 5);
    EXPECT_FALSE(model.isSelected(2));
    EXPECT_TRUE(model.isSelected(5));
}

TEST_F(CardStripModelTest, mixedReorderFallsBackToALayoutChangeWithPersistentIndexes)
{
    QList<ClipboardItem> items = fx.textClips(5);
    ClipboardStore &store = fx.makeStore(items);
    CardStripModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QPersistentModelIndex clip1 = model.index(1);
    const QList<ClipboardItem> v = store.visibleItems();

    // Two clips bumped in one go: newest-first order changes in two places.
    fx.clock.advance(5);
    store.bumpToTop(v[4].id);
    fx.clock.advance(5);
    store.bumpToTop(v[2].id);
    EXPECT_EQ(rows(model), visible(store));
    EXPECT_EQ(model.data(clip1).toString(), QStringLiteral("clip 1"));
}

} // namespace
