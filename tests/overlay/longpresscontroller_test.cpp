// The press-and-hold state machine, driven by a fake clock.
#include <gtest/gtest.h>

#include "overlay/longpresscontroller.h"
#include "support/storefixture.h"

namespace {

class LongPressTest : public ::testing::Test
{
protected:
    void SetUp() override { store->setSelection({items[0].id, items[1].id, items[2].id}); }
    std::optional<QUuid> folderOf(int i) const
    {
        for (const ClipboardItem &item : store->items())
            if (item.id == items[i].id)
                return item.folderId;
        return std::nullopt;
    }
    QSet<QUuid> dragged() const { return {press.draggedItems().cbegin(), press.draggedItems().cend()}; }
    void holdOn(int i)
    {
        press.mouseDown(items[i].id);
        fx.clock.advance(1.2);
        ASSERT_TRUE(press.isDragging());
    }

    StoreFixture fx;
    ClipboardFolder work = StoreFixture::folder(QStringLiteral("Travail"));
    QList<ClipboardItem> items = [this] {
        QList<ClipboardItem> clips = fx.textClips(5);
        clips[4].folderId = work.id;
        return clips;
    }();
    ClipboardStore *store = &fx.makeStore(items, {work});
    LongPressController press{*store, fx.clock};
};

TEST_F(LongPressTest, aReleaseBeforeTheHoldOrWhileTheRingFillsOpensNothing)
{
    press.mouseDown(items[0].id);
    fx.clock.advance(0.5);
    press.mouseUp(items[0].id);
    fx.clock.advance(2);
    EXPECT_FALSE(press.longPressActive());
    EXPECT_FALSE(press.isDragging());

    press.mouseDown(items[0].id);
    fx.clock.advance(1.0);
    ASSERT_TRUE(press.longPressActive());
    press.mouseUp(items[0].id);
    EXPECT_FALSE(press.longPressActive());
    EXPECT_EQ(press.displayedProgress(), 0);
    fx.clock.advance(0.2);
    EXPECT_FALSE(press.isDragging());
    EXPECT_EQ(fx.clock.pendingCount(), 0) << "the ring's repaint ticks stop with it";
}

// On a selected card the hold takes the whole selection; on another card,
// that card alone; while the targets are shown no new hold starts.
TEST_F(LongPressTest, holdingOpensTheTargetsForTheSelectionOrTheCardAlone)
{
    press.mouseDown(items[1].id);
    fx.clock.advance(0.8);
    EXPECT_TRUE(press.longPressActive());
    fx.clock.advance(0.15);
    EXPECT_NEAR(press.displayedProgress(), 0.5, 0.01);
    fx.clock.advance(0.25);
    EXPECT_TRUE(press.isDragging());
    EXPECT_EQ(dragged(), (QSet<QUuid>{items[0].id, items[1].id, items[2].id}));
    EXPECT_FALSE(press.longPressActive());

    press.setHoveredFolderId(work.id);
    press.cancelDrag();
    EXPECT_FALSE(press.isDragging());
    EXPECT_EQ(press.hoveredFolderId(), std::nullopt);
    EXPECT_EQ(store->selection().size(), 3) << "cancelling keeps the selection";
    holdOn(3);
    EXPECT_EQ(dragged(), QSet<QUuid>{items[3].id});
    press.mouseDown(items[1].id);
    fx.clock.advance(2);
    EXPECT_FALSE(press.longPressActive());
    EXPECT_EQ(dragged(), QSet<QUuid>{items[3].id});
}

TEST_F(LongPressTest, aTargetMovesTheDraggedClipsUnlessItsFolderIsGoneAndEmptiesTheSelection)
{
    store->setSelection({items[4].id});
    holdOn(4);
    press.completeDrag(std::nullopt); // "Tous": out of any folder
    EXPECT_EQ(folderOf(4), std::nullopt);
    EXPECT_TRUE(store->selection().isEmpty());
    EXPECT_FALSE(press.isDragging());
    EXPECT_TRUE(press.draggedItems().isEmpty());

    holdOn(1);
    press.completeDrag(work.id);
    EXPECT_EQ(folderOf(1), work.id);
    holdOn(4);
    store->deleteFolder(work.id);
    press.completeDrag(work.id);
    EXPECT_EQ(folderOf(4), std::nullopt);
}

} // namespace
