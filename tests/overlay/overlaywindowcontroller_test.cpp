// The panel's window-level behaviour: showing and hiding, its placement,
// the click-outside watch, choosing a clip, and the key table with its
// text-input guard.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "overlay/folderchipsbar.h"
#include "overlay/overlaypanel.h"
#include "overlay/overlayrootview.h"
#include "overlay/overlaywindowcontroller.h"
#include "platform/fake/fakeactivewindow.h"
#include "platform/fake/fakeoutsideclickwatcher.h"
#include "platform/fake/fakepanelwindowhints.h"
#include "support/storefixture.h"

namespace {

class ControllerTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        store = &fx.makeStore(items);
        controller.setWindowHints(&hints);
        controller.setOutsideClickWatcher(&clicks);
        controller.setActiveWindow(&desktop);
        controller.setPasteHandler([this](const ClipboardItem &item) { pasted.append(item.id); });
        controller.setPreviewHooks({[this] { return previewOpen; },
                                    [this](const ClipboardItem &item) {
                                        previewOpen = true;
                                        previewed.append(item.id);
                                    },
                                    [this] { previewOpen = false; }});
        controller.buildPanel(*store, fx.clock);
        desktop.setFrontmost(editor);
        controller.show();
    }
    void TearDown() override { controller.hide(); }

    // What was pasted once the paste delay is over.
    QList<QUuid> pastedLater()
    {
        fx.clock.advance(0.2);
        return pasted;
    }

    StoreFixture fx;
    QList<ClipboardItem> items = fx.textClips(5);
    ClipboardStore *store = nullptr;
    FakePanelWindowHints hints;
    FakeOutsideClickWatcher clicks;
    FakeActiveWindow desktop;
    WindowRef editor{0x400001, QStringLiteral("org.example.Editor"), {}, {}};
    OverlayWindowController controller;
    QList<QUuid> pasted, previewed;
    bool previewOpen = false;
};

TEST_F(ControllerTest, theShortcutTwiceOrAClosedWindowHidesAndRemovesTheWatches)
{
    EXPECT_TRUE(controller.isVisible());
    EXPECT_TRUE(clicks.isWatching());
    EXPECT_FALSE(hints.applied.isEmpty());
    EXPECT_EQ(OverlayPanel::frameForArea(QRect(1920, 30, 1280, 1000)), QRect(1922, 698, 1276, 330))
        << "two pixels inside the bottom of the available area";
    controller.toggle();
    EXPECT_FALSE(controller.isVisible());
    EXPECT_FALSE(controller.monitorsInstalled());
    EXPECT_EQ(clicks.stops, 1);

    controller.show();
    controller.panel()->close(); // closed by the window manager
    EXPECT_FALSE(controller.isVisible());
    EXPECT_FALSE(controller.monitorsInstalled());
    EXPECT_FALSE(clicks.isWatching());
    controller.toggle();
    EXPECT_TRUE(controller.isVisible()) << "the panel comes back at the next shortcut";
    OverlayWindowController unbuilt;
    unbuilt.toggle();
    EXPECT_FALSE(unbuilt.isVisible());
}

TEST_F(ControllerTest, keysOfTheTableAreHandledAndOthersLeftToTheSystem)
{
    auto key = [&](int k, Qt::KeyboardModifiers mods = Qt::NoModifier) { return controller.handleKeyDown(k, mods); };
    auto shown = [&](int row) { return store->visibleItems()[row].id; };
    store->setSelection({});
    EXPECT_FALSE(key(Qt::Key_Space)) << "nothing to preview";
    EXPECT_TRUE(key(Qt::Key_Return));
    EXPECT_EQ(pastedLater(), QList<QUuid>{items[0].id}) << "Return with nothing selected pastes the newest clip";
    controller.show();
    store->setSelection({items[2].id});
    EXPECT_TRUE(key(Qt::Key_Return));
    EXPECT_EQ(pastedLater(), (QList<QUuid>{items[0].id, items[2].id}));
    controller.show();
    store->setSearchQuery(QStringLiteral("zzz"));
    EXPECT_FALSE(key(Qt::Key_Return)) << "nothing shown";
    EXPECT_EQ(pastedLater().size(), 2);
    EXPECT_TRUE(controller.isVisible());

    store->setSearchQuery(QString());
    store->setSelection({shown(2)});
    EXPECT_TRUE(key(Qt::Key_Left));
    EXPECT_EQ(store->selection(), QSet<QUuid>{shown(1)});
    EXPECT_TRUE(key(Qt::Key_Right));
    EXPECT_TRUE(key(Qt::Key_Right));
    EXPECT_EQ(store->selection(), QSet<QUuid>{shown(3)});
    EXPECT_FALSE(key(Qt::Key_Up));
    EXPECT_FALSE(key(Qt::Key_A));
    EXPECT_TRUE(key(Qt::Key_Space));
    EXPECT_EQ(previewed, QList<QUuid>{shown(3)});
    EXPECT_TRUE(key(Qt::Key_Space));
    EXPECT_FALSE(previewOpen);
    EXPECT_TRUE(key(Qt::Key_A, Qt::ControlModifier));
    EXPECT_EQ(store->selection().size(), 5);
    EXPECT_TRUE(key(Qt::Key_Backspace));
    EXPECT_TRUE(store->items().isEmpty());
    EXPECT_TRUE(key(Qt::Key_F, Qt::ControlModifier));
    EXPECT_TRUE(store->searchActive());
}

// Regression: Return that confirmed the new-folder popover travelled on to
// the popover window after the field had closed it, found the panel focused
// again, and pasted the selected clip as well.
TEST_F(ControllerTest, returnConfirmingAPopoverDoesNotAlsoPaste)
{
    QApplication::setActiveWindow(controller.panel());
    FolderChipsBar *bar = controller.rootView()->chipsBar();
    bar->beginAdding();
    ASSERT_TRUE(bar->popover());
    QLineEdit *field = bar->popover()->field();
    ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }, 1000));
    QTest::keyClicks(field, QStringLiteral("Projets"));
    QTest::keyClick(field, Qt::Key_Return);
    ASSERT_EQ(store->folders().size(), 1);
    EXPECT_EQ(store->folders().first().name, QStringLiteral("Projets"));
    EXPECT_TRUE(controller.isVisible());
    EXPECT_TRUE(pastedLater().isEmpty());
}

} // namespace
