// Clicks on the strip's cards, the double click, and the centring of the
// selected card.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "overlay/cardstripmodel.h"
#include "overlay/cardstripview.h"
#include "overlay/longpresscontroller.h"
#include "overlay/overlayrootview.h"
#include "support/storefixture.h"
#include "support/logcapture.h"

namespace {

class RootViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        items = fx.textClips(30);
        store = &fx.makeStore(items);
        view = std::make_unique<OverlayRootView>(*store, fx.clock);
        view->setChooseHandler([this](const ClipboardItem &item) { chosen.append(item.id); });
        view->resize(1596, 330);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        log.clear();
    }
    QPoint cardCentre(int row) const { return view->strip()->cardRectForRow(row).center(); }

    StoreFixture fx;
    QList<ClipboardItem> items;
    ClipboardStore *store = nullptr;
    std::unique_ptr<OverlayRootView> view;
    QList<QUuid> chosen;
    LogCapture log;
};

TEST_F(RootViewTest, aClickSelectsOneCardCtrlClickTogglesAndAGapChangesNothing)
{
    QWidget *viewport = view->strip()->viewport();
    store->setSelection({items[0].id, items[1].id});
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, cardCentre(2));
    EXPECT_EQ(store->selection(), QSet<QUuid>{items[2].id});
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, cardCentre(1));
    EXPECT_EQ(store->selection(), (QSet<QUuid>{items[1].id, items[2].id}));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, cardCentre(2));
    EXPECT_EQ(store->selection(), QSet<QUuid>{items[1].id});
    const QRect first = view->strip()->cardRectForRow(0);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(first.right() + 8, first.center().y()));
    EXPECT_EQ(store->selection(), QSet<QUuid>{items[1].id});
}

TEST_F(RootViewTest, ctrlClickOnTheOnlySelectedCardEmptiesTheSelectionWithoutScrolling)
{
    view->tap(items[20].id, Qt::NoModifier);
    view->strip()->centreOn(items[20].id, false);
    const int before = view->strip()->horizontalScrollBar()->value();
    view->tap(items[20].id, Qt::ControlModifier);
    EXPECT_TRUE(store->selection().isEmpty());
    EXPECT_EQ(view->strip()->targetScrollValue(), before);
}

TEST_F(RootViewTest, aDoubleClickSelectsThenChoosesTheCard)
{
    store->setSelection({items[0].id});
    // What the window system delivers: a full click, then the second press as a double click.
    QTest::mouseClick(view->strip()->viewport(), Qt::LeftButton, Qt::NoModifier, cardCentre(3));
    QTest::mouseDClick(view->strip()->viewport(), Qt::LeftButton, Qt::NoModifier, cardCentre(3));
    EXPECT_EQ(chosen, QList<QUuid>{items[3].id});
    EXPECT_EQ(store->selection(), QSet<QUuid>{items[3].id});
}

TEST_F(RootViewTest, aSelectionChangeCentresTheCardWithAnEasedScroll)
{
    QScrollBar *bar = view->strip()->horizontalScrollBar();
    store->setSelection({items[20].id});
    const int target = view->strip()->targetScrollValue();
    EXPECT_GT(target, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() == target; }, 2000));
    const QRect card = view->strip()->cardRectForRow(20);
    EXPECT_NEAR(card.center().x(), view->strip()->viewport()->width() / 2, 2);
}

TEST_F(RootViewTest, suppressAutoScrollOnceSkipsOneChangeAndClearsItself)
{
    QScrollBar *bar = view->strip()->horizontalScrollBar();
    store->setSuppressAutoScrollOnce(true);
    store->setSelection({items[25].id});
    EXPECT_FALSE(store->suppressAutoScrollOnce());
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(view->strip()->targetScrollValue(), 0);
    store->setSelection({items[24].id});
    EXPECT_GT(view->strip()->targetScrollValue(), 0);
}

TEST_F(RootViewTest, movingTheHeldPointerAfterTheRingAppearsStartsNoCardDrag)
{
    QWidget *viewport = view->strip()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, cardCentre(1));
    fx.clock.advance(0.9);
    ASSERT_TRUE(view->longPress()->longPressActive());
    // A system drag would block here in its own event loop; the move must return.
    QMouseEvent move(QEvent::MouseMove, cardCentre(1) + QPoint(60, 0), viewport->mapToGlobal(cardCentre(1) + QPoint(60, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    fx.clock.advance(0.3);
    EXPECT_TRUE(view->longPress()->isDragging());
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 OVERLAY: Appeared with 0 folders"))); // the folder targets
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, cardCentre(1) + QPoint(60, 0));
}

} // namespace
