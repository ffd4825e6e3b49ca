// Clicks on the strip's cards, the double click, and the centring of the
// selected card.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "overlay/cardstripmodel.h"
#include "overlay/cardstripview.h"
#include "overlay/longpresscontroller.h"
#include "overlay/overlayrootview.h"
#include "support/logcapture.h"
#include "support/storefixture.h"

namespace {

class RootViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view.setChooseHandler([this](const ClipboardItem &item) { chosen.append(item.id); });
        view.resize(1596, 330);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QPoint cardCentre(int row) const { return view.strip()->cardRectForRow(row).center(); }
    void click(int row, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseClick(view.strip()->viewport(), Qt::LeftButton, mods, cardCentre(row));
    }

    StoreFixture fx;
    QList<ClipboardItem> items = fx.textClips(30);
    ClipboardStore *store = &fx.makeStore(items);
    OverlayRootView view{*store, fx.clock};
    QList<QUuid> chosen;
};

TEST_F(RootViewTest, aClickSelectsOneCardCtrlClickTogglesAGapChangesNothingAndADoubleClickChooses)
{
    store->setSelection({items[0].id, items[1].id});
    click(2);
    EXPECT_EQ(store->selection(), QSet<QUuid>{items[2].id});
    click(1, Qt::ControlModifier);
    EXPECT_EQ(store->selection(), (QSet<QUuid>{items[1].id, items[2].id}));
    click(2, Qt::ControlModifier);
    EXPECT_EQ(store->selection(), QSet<QUuid>{items[1].id});
    const QRect first = view.strip()->cardRectForRow(0);
    QTest::mouseClick(view.strip()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(first.right() + 8, first.center().y()));
    EXPECT_EQ(store->selection(), QSet<QUuid>{items[1].id});

    // What the window system delivers: a full click, then the second press as a double click.
    click(3);
    QTest::mouseDClick(view.strip()->viewport(), Qt::LeftButton, Qt::NoModifier, cardCentre(3));
    EXPECT_EQ(chosen, QList<QUuid>{items[3].id});
    EXPECT_EQ(store->selection(), QSet<QUuid>{items[3].id});
}

// A selection change centres the card with an eased scroll, unless the store
// asks to skip one.
TEST_F(RootViewTest, aSelectionChangeCentresTheCardWithAnEasedScroll)
{
    QScrollBar *bar = view.strip()->horizontalScrollBar();
    store->setSuppressAutoScrollOnce(true);
    store->setSelection({items[25].id});
    EXPECT_FALSE(store->suppressAutoScrollOnce());
    EXPECT_EQ(view.strip()->targetScrollValue(), 0);

    store->setSelection({items[20].id});
    const int target = view.strip()->targetScrollValue();
    EXPECT_GT(target, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() == target; }, 2000));
    EXPECT_NEAR(view.strip()->cardRectForRow(20).center().x(), view.strip()->viewport()->width() / 2, 2);
}

TEST_F(RootViewTest, movingTheHeldPointerAfterTheRingAppearsStartsNoCardDrag)
{
    LogCapture log;
    QWidget *viewport = view.strip()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, cardCentre(1));
    fx.clock.advance(0.9);
    ASSERT_TRUE(view.longPress()->longPressActive());
    // A system drag would block here in its own event loop; the move must return.
    const QPoint moved = cardCentre(1) + QPoint(60, 0);
    QMouseEvent move(QEvent::MouseMove, moved, viewport->mapToGlobal(moved), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    fx.clock.advance(0.3);
    EXPECT_TRUE(view.longPress()->isDragging());
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 OVERLAY: Appeared with 0 folders"))); // the folder targets
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, moved);
}

} // namespace
