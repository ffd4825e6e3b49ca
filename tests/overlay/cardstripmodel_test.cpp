// The strip's model follows the store's visible list through inserts,
// deletes, moves, folder and search changes, checked by Qt's model tester.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "overlay/cardstripmodel.h"
#include "support/storefixture.h"

namespace {

class CardStripModelTest : public ::testing::Test
{
protected:
    CardStripModel &modelOver(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders = {})
    {
        store = &fx.makeStore(items, folders);
        model = std::make_unique<CardStripModel>(*store);
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::Fatal);
        return *model;
    }
    QList<QString> rows() const
    {
        QList<QString> out;
        for (int i = 0; i < model->rowCount(); ++i)
            out.append(model->data(model->index(i)).toString());
        return out;
    }
    QList<QString> visible() const
    {
        QList<QString> out;
        for (const ClipboardItem &item : store->visibleItems())
            out.append(item.preview);
        return out;
    }

    StoreFixture fx;
    ClipboardStore *store = nullptr;
    std::unique_ptr<CardStripModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(CardStripModelTest, aNewClipIsOneInsertedRowAtTheFront)
{
    modelOver(fx.textClips(4));
    EXPECT_EQ(model->rowOf(store->visibleItems()[3].id), 3);
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    store->insert(fx.textClip(QStringLiteral("fresh"), -1));
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 0);
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(rows(), visible());
}

TEST_F(CardStripModelTest, deletingTheSelectionRemovesOnlyThoseRows)
{
    modelOver(fx.textClips(6));
    QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
    const QList<ClipboardItem> before = store->visibleItems();
    store->setSelection({before[1].id, before[2].id, before[4].id});
    store->deleteSelectedItems();
    EXPECT_EQ(removed.size(), 2); // rows 4, then 1..2
    EXPECT_EQ(rows(), (QList<QString>{"clip 0", "clip 3", "clip 5"}));
}

TEST_F(CardStripModelTest, bumpingAClipToTheTopIsARowMoveAndTwoBumpsKeepPersistentIndexes)
{
    modelOver(fx.textClips(5));
    QSignalSpy moved(model.get(), &QAbstractItemModel::rowsMoved);
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    const QList<ClipboardItem> v = store->visibleItems();
    QPersistentModelIndex third = model->index(3);
    QPersistentModelIndex clip1 = model->index(1);

    fx.clock.advance(10);
    store->bumpToTop(v[3].id);
    EXPECT_EQ(moved.size(), 1);
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(rows(), (QList<QString>{"clip 3", "clip 0", "clip 1", "clip 2", "clip 4"}));
    EXPECT_EQ(third.row(), 0);

    fx.clock.advance(5);
    store->bumpToTop(v[4].id);
    fx.clock.advance(5);
    store->bumpToTop(v[2].id);
    EXPECT_EQ(rows(), visible());
    EXPECT_EQ(model->data(clip1).toString(), QStringLiteral("clip 1"));
}

TEST_F(CardStripModelTest, folderSearchAssignPinAndClearKeepTheRowsEqualToTheVisibleList)
{
    const ClipboardFolder work = StoreFixture::folder(QStringLiteral("Travail"));
    QList<ClipboardItem> items = {fx.textClip(QStringLiteral("apple pie"), 0), fx.textClip(QStringLiteral("banana"), 1),
                                  fx.textClip(QStringLiteral("Apple juice"), 2), fx.textClip(QStringLiteral("cherry"), 3)};
    items.append(fx.textClip(QStringLiteral("in folder"), 10, work.id));
    modelOver(items, {work});

    store->setCurrentFolder(work.id);
    EXPECT_EQ(rows(), QList<QString>{"in folder"});
    store->setCurrentFolder(std::nullopt);
    store->setSearchQuery(QStringLiteral("app"));
    EXPECT_EQ(rows(), (QList<QString>{"apple pie", "Apple juice"}));
    store->setSearchQuery(QStringLiteral("zzz"));
    EXPECT_EQ(model->rowCount(), 0);
    store->setSearchQuery(QString());
    EXPECT_EQ(rows(), (QList<QString>{"apple pie", "banana", "Apple juice", "cherry"}));

    const QList<ClipboardItem> v = store->visibleItems();
    store->assign({v[0].id, v[3].id}, work);
    EXPECT_EQ(rows(), visible());
    store->togglePin(v[1].id);
    EXPECT_TRUE(model->data(model->index(0), CardStripModel::ItemRole).value<ClipboardItem>().pinned);
    store->clearRecents();
    EXPECT_EQ(rows(), QList<QString>{"banana"});
}

TEST_F(CardStripModelTest, selectionChangesRepaintOnlyTheAffectedRows)
{
    modelOver(fx.textClips(10));
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    const QList<ClipboardItem> v = store->visibleItems();

    store->setSelection({v[2].id});
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 2);
    EXPECT_EQ(changed[0][1].value<QModelIndex>().row(), 2);
    EXPECT_TRUE(model->data(model->index(2), CardStripModel::SelectedRole).toBool());

    store->setSelection({v[5].id});
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[1][0].value<QModelIndex>().row(), 2);
    EXPECT_EQ(changed[1][1].value<QModelIndex>().row(), 5);
    EXPECT_FALSE(model->isSelected(2));
    EXPECT_TRUE(model->isSelected(5));
}

} // namespace
