// The strip's model follows the store's visible list through folder, search,
// assign, pin and clear changes, checked by Qt's model tester.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

#include "overlay/cardstripmodel.h"
#include "support/storefixture.h"

namespace {

class CardStripModelTest : public ::testing::Test
{
protected:
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
};

TEST_F(CardStripModelTest, folderSearchAssignPinAndClearKeepTheRowsEqualToTheVisibleList)
{
    const ClipboardFolder work = StoreFixture::folder(QStringLiteral("Travail"));
    store = &fx.makeStore({fx.textClip(QStringLiteral("apple pie"), 0), fx.textClip(QStringLiteral("banana"), 1),
                           fx.textClip(QStringLiteral("Apple juice"), 2), fx.textClip(QStringLiteral("cherry"), 3),
                           fx.textClip(QStringLiteral("in folder"), 10, work.id)},
                          {work});
    model = std::make_unique<CardStripModel>(*store);
    QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
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
