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
    void modelOver(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders = {})
    {
        store = &fx.makeStore(items, folders);
        model = std::make_unique<CardStripModel>(*store);
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    QList<QString> rows() const
    {
        QList<QString> out;
        for (int i = 0; i < model->rowCount(); ++i)
            out.append(model->data(model->index(i)).toString());
        EXPECT_EQ(out.size(), store->visibleItems().size());
        for (int i = 0; i < out.size() && i < store->visibleItems().size(); ++i)
            EXPECT_EQ(out[i], store->visibleItems()[i].preview) << "row " << i << " follows the visible list";
        return out;
    }

    StoreFixture fx;
    ClipboardStore *store = nullptr;
    std::unique_ptr<CardStripModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

// A new clip is one row inserted at the front, deleting the selection removes
// only its rows, and a bump is a row move that keeps persistent indexes.
TEST_F(CardStripModelTest, insertsDeletesAndBumpsAreRowChangesNotResets)
{
    modelOver(fx.textClips(6));
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(model.get(), &QAbstractItemModel::rowsMoved);
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    const QList<ClipboardItem> v = store->visibleItems();
    store->insert(fx.textClip(QStringLiteral("fresh"), -1));
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 0);

    store->setSelection({v[1].id, v[2].id, v[4].id});
    store->deleteSelectedItems();
    EXPECT_EQ(removed.size(), 2); // rows 5, then 2..3
    EXPECT_EQ(rows(), (QList<QString>{"fresh", "clip 0", "clip 3", "clip 5"}));

    QPersistentModelIndex clip3 = model->index(2), clip0 = model->index(1);
    fx.clock.advance(10);
    store->bumpToTop(v[3].id);
    EXPECT_EQ(moved.size(), 1);
    EXPECT_EQ(clip3.row(), 0);
    fx.clock.advance(5);
    store->bumpToTop(v[5].id);
    EXPECT_EQ(rows(), (QList<QString>{"clip 5", "clip 3", "fresh", "clip 0"}));
    EXPECT_EQ(model->data(clip0).toString(), QStringLiteral("clip 0"));
    EXPECT_EQ(model->rowOf(v[0].id), 3);
    EXPECT_EQ(reset.size(), 0);
}

TEST_F(CardStripModelTest, folderSearchAssignPinAndClearKeepTheRowsEqualToTheVisibleList)
{
    const ClipboardFolder work = StoreFixture::folder(QStringLiteral("Travail"));
    modelOver({fx.textClip(QStringLiteral("apple pie"), 0), fx.textClip(QStringLiteral("banana"), 1),
               fx.textClip(QStringLiteral("Apple juice"), 2), fx.textClip(QStringLiteral("cherry"), 3),
               fx.textClip(QStringLiteral("in folder"), 10, work.id)},
              {work});
    store->setCurrentFolder(work.id);
    EXPECT_EQ(rows(), QList<QString>{"in folder"});
    store->setCurrentFolder(std::nullopt);
    store->setSearchQuery(QStringLiteral("app"));
    EXPECT_EQ(rows(), (QList<QString>{"apple pie", "Apple juice"}));
    store->setSearchQuery(QString());
    EXPECT_EQ(rows().size(), 4);

    const QList<ClipboardItem> v = store->visibleItems();
    store->assign({v[0].id, v[3].id}, work);
    rows();
    store->togglePin(v[1].id);
    EXPECT_TRUE(model->data(model->index(0), CardStripModel::ItemRole).value<ClipboardItem>().pinned);
    store->clearRecents();
    EXPECT_EQ(rows(), QList<QString>{"banana"});
}

} // namespace
