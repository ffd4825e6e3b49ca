// The press-and-hold state machine, driven by a fake clock.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "model/uuidtext.h"
#include "overlay/longpresscontroller.h"
#include "storefixture.h"
#include "support/logcapture.h"

namespace {

class LongPressTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        work = StoreFixture::folder(QStringLiteral("Travail"));
        items = fx.textClips(5);
        items[4].folderId = work.id;
        store = &fx.makeStore(items, {work});
        press = std::make_unique<LongPressController>(*store, fx.clock);
        log.clear(); // the store's own start-up lines
    }
    std::optional<QUuid> folderOf(int i) const
    {
        for (const ClipboardItem &item : store->items())
            if (item.id == items[i].id)
                return item.folderId;
        return std::nullopt;
    }

    StoreFixture fx;
    ClipboardFolder work;
    QList<ClipboardItem> items;
    ClipboardStore *store = nullptr;
    std::unique_ptr<LongPressController> press;
    LogCapture log;
};

TEST_F(LongPressTest, aReleaseBeforeTheHoldCancelsItselfQuietly)
{
    press->mouseDown(items[0].id);
    fx.clock.advance(0.5);
    press->mouseUp(items[0].id);
    fx.clock.advance(0.3);
    EXPECT_EQ(log.lines(), (QStringList{QStringLiteral("🎯 MOUSE DOWN on %1..., waiting 0.8s...").arg(uuidTag(items[0].id)),
                                        QStringLiteral("🎯 MOUSE UP - isMouseDown=false"),
                                        QStringLiteral("🎯 Timer 0.8s expired but mouse was released - cancelled")}));
    fx.clock.advance(2);
    EXPECT_FALSE(press->longPressActive());
    EXPECT_FALSE(press->isDragging());
}

TEST_F(LongPressTest, holdingOnASelectedCardOpensTheTargetsForTheWholeSelection)
{
    store->setSelection({items[0].id, items[1].id, items[2].id});
    QSignalSpy dragging(press.get(), &LongPressController::draggingChanged);
    press->mouseDown(items[1].id);
    fx.clock.advance(0.8);
    EXPECT_TRUE(press->longPressActive());
    EXPECT_EQ(press->longPressItemId(), items[1].id);
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 LONG PRESS: Started on item.id=%1...").arg(uuidTag(items[1].id))));
    fx.clock.advance(0.15);
    EXPECT_NEAR(press->displayedProgress(), 0.5, 0.01);
    fx.clock.advance(0.25);

    EXPECT_TRUE(press->isDragging());
    EXPECT_EQ(dragging.size(), 1);
    EXPECT_EQ(QSet<QUuid>(press->draggedItems().cbegin(), press->draggedItems().cend()),
              (QSet<QUuid>{items[0].id, items[1].id, items[2].id}));
    EXPECT_FALSE(press->longPressActive());
    EXPECT_FALSE(press->isMouseDown());
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 Using selection (3 items)")));
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 OVERLAY triggered with 3 item(s)")));
}

TEST_F(LongPressTest, holdingOnACardOutsideTheSelectionTakesThatCardAlone)
{
    store->setSelection({items[0].id, items[1].id, items[2].id});
    press->mouseDown(items[3].id);
    fx.clock.advance(1.2);
    EXPECT_EQ(press->draggedItems(), QList<QUuid>{items[3].id});
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 Using single item")));
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 OVERLAY triggered with 1 item(s)")));
}

TEST_F(LongPressTest, releasingWhileTheRingFillsRemovesItAndOpensNothing)
{
    press->mouseDown(items[0].id);
    fx.clock.advance(1.0);
    ASSERT_TRUE(press->longPressActive());
    press->mouseUp(items[0].id);
    EXPECT_FALSE(press->longPressActive());
    EXPECT_EQ(press->displayedProgress(), 0);
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 LONG PRESS: Cancelled (released during animation)")));
    fx.clock.advance(0.2);
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 Timer 0.3s expired but conditions not met - cancelled")));
    EXPECT_FALSE(press->isDragging());
    EXPECT_EQ(fx.clock.pendingCount(), 0) << "the ring's repaint ticks stop with it";
}

TEST_F(LongPressTest, aPressWhileTheTargetsAreShownDoesNotStart)
{
    press->mouseDown(items[0].id);
    fx.clock.advance(1.2);
    ASSERT_TRUE(press->isDragging());
    log.clear();
    press->mouseDown(items[1].id);
    fx.clock.advance(2);
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(LongPressTest, theTousTargetTakesClipsOutOfTheirFolderAndEmptiesTheSelection)
{
    store->setSelection({items[4].id});
    press->mouseDown(items[4].id);
    fx.clock.advance(1.2);
    press->completeDrag(std::nullopt);
    EXPECT_EQ(folderOf(4), std::nullopt);
    EXPECT_TRUE(store->selection().isEmpty());
    EXPECT_FALSE(press->isDragging());
    EXPECT_TRUE(press->draggedItems().isEmpty());
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 DROP on folder: nil")));
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 CUSTOM DRAG: Completed")));
}

TEST_F(LongPressTest, aFolderTargetMovesTheDraggedClipsIntoIt)
{
    press->mouseDown(items[1].id);
    fx.clock.advance(1.2);
    press->completeDrag(work.id);
    EXPECT_EQ(folderOf(1), work.id);
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 DROP on folder: %1").arg(uuidTag(work.id))));
}

TEST_F(LongPressTest, aTargetWhoseFolderWasDeletedMovesClipsOutOfAnyFolder)
{
    press->mouseDown(items[4].id);
    fx.clock.advance(1.2);
    const QUuid gone = work.id;
    store->deleteFolder(gone);
    press->completeDrag(gone);
    EXPECT_EQ(folderOf(4), std::nullopt);
}

TEST_F(LongPressTest, cancellingKeepsTheSelection)
{
    store->setSelection({items[0].id, items[1].id});
    press->mouseDown(items[0].id);
    fx.clock.advance(1.2);
    press->setHoveredFolderId(work.id);
    press->cancelDrag();
    EXPECT_FALSE(press->isDragging());
    EXPECT_EQ(press->hoveredFolderId(), std::nullopt);
    EXPECT_EQ(store->selection().size(), 2);
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 CUSTOM DRAG: Cancelled")));
}

} // namespace
