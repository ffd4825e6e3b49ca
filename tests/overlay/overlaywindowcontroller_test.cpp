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
        items = fx.textClips(5);
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
        editor.id = 0x400001;
        editor.appId = QStringLiteral("org.example.Editor");
        desktop.setFrontmost(editor);
    }
    void TearDown() override { controller.hide(); }

    QList<QString> order() const
    {
        QList<QString> out;
        for (const ClipboardItem &item : store->visibleItems())
            out.append(item.preview);
        return out;
    }

    StoreFixture fx;
    QList<ClipboardItem> items;
    ClipboardStore *store = nullptr;
    FakePanelWindowHints hints;
    FakeOutsideClickWatcher clicks;
    FakeActiveWindow desktop;
    WindowRef editor;
    OverlayWindowController controller;
    QList<QUuid> pasted;
    QList<QUuid> previewed;
    bool previewOpen = false;
};

TEST(OverlayPanelGeometry, sitsTwoPixelsInsideTheBottomOfTheAvailableArea)
{
    EXPECT_EQ(OverlayPanel::frameForArea(QRect(0, 0, 1600, 1000)), QRect(2, 668, 1596, 330));
    EXPECT_EQ(OverlayPanel::frameForArea(QRect(1920, 30, 1280, 1000)), QRect(1922, 698, 1276, 330));
    EXPECT_EQ(OverlayPanel::frameFor(nullptr), QRect(2, 468, 1276, 330));
}

TEST_F(ControllerTest, theShortcutTwiceOrAClosedWindowHidesAndRemovesTheWatches)
{
    controller.toggle();
    EXPECT_TRUE(controller.isVisible());
    EXPECT_TRUE(controller.monitorsInstalled());
    EXPECT_TRUE(clicks.isWatching());
    EXPECT_FALSE(hints.applied.isEmpty());
    controller.toggle();
    EXPECT_FALSE(controller.isVisible());
    EXPECT_FALSE(controller.monitorsInstalled());
    EXPECT_FALSE(clicks.isWatching());
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

TEST_F(ControllerTest, showingSelectsTheFirstClipUnlessOneIsSelectedEvenOutOfView)
{
    controller.show();
    EXPECT_EQ(store->selection(), QSet<QUuid>{store->visibleItems().first().id});
    EXPECT_EQ(controller.lastActiveWindow(), editor);
    previewOpen = true;
    controller.hide();
    EXPECT_FALSE(previewOpen) << "hiding closes the preview";
    store->createFolder(QStringLiteral("Travail"));
    store->setSelection({items[3].id});
    store->setCurrentFolder(store->folders().first().id); // items[3] is not shown there
    controller.show();
    EXPECT_EQ(store->selection(), QSet<QUuid>{items[3].id});
}

TEST_F(ControllerTest, choosingBumpsHidesReactivatesAndPastesLater)
{
    controller.show();
    desktop.setFrontmost(std::nullopt); // our panel is in front now
    const QUuid chosen = items[3].id;
    fx.clock.advance(5);
    controller.choose(store->visibleItems()[3]);

    EXPECT_FALSE(controller.isVisible());
    EXPECT_EQ(store->visibleItems().first().id, chosen);
    EXPECT_TRUE(store->isCaptureSuppressed());
    ASSERT_EQ(desktop.activations.size(), 1);
    EXPECT_EQ(desktop.activations.first(), editor);
    fx.clock.advance(0.11);
    EXPECT_TRUE(pasted.isEmpty());
    fx.clock.advance(0.02);
    EXPECT_EQ(pasted, QList<QUuid>{chosen});
}

// --- key table ---

struct KeyRow
{
    const char *name;
    int key;
    Qt::KeyboardModifiers modifiers;
    bool handled;
    // Prepares the state before the key; checks it after.
    std::function<void(ControllerTest &)> before;
    std::function<void(ControllerTest &)> after;
};

class KeyDispatch : public ControllerTest, public ::testing::WithParamInterface<KeyRow>
{
};

TEST_P(KeyDispatch, handlesExactlyTheTableKeys)
{
    controller.show();
    if (GetParam().before)
        GetParam().before(*this);
    EXPECT_EQ(controller.handleKeyDown(GetParam().key, GetParam().modifiers), GetParam().handled);
    if (GetParam().after)
        GetParam().after(*this);
}

void selectRow(ControllerTest &t, int row)
{
    t.store->setSelection({t.store->visibleItems()[row].id});
}

QUuid selectedId(ControllerTest &t)
{
    return t.store->selection().size() == 1 ? *t.store->selection().cbegin() : QUuid();
}

void pastedLater(ControllerTest &t, QList<QUuid> expected)
{
    t.fx.clock.advance(0.2);
    EXPECT_EQ(t.pasted, expected);
    EXPECT_EQ(t.controller.isVisible(), expected.isEmpty());
}

using C = ControllerTest;
INSTANTIATE_TEST_SUITE_P(
    Keys, KeyDispatch,
    ::testing::Values(
        KeyRow{"return_pastes_the_selected_clip", Qt::Key_Return, Qt::NoModifier, true, [](C &t) { selectRow(t, 2); },
               [](C &t) { pastedLater(t, {t.items[2].id}); }},
        KeyRow{"return_without_selection_pastes_the_first_clip", Qt::Key_Return, Qt::NoModifier, true,
               [](C &t) { t.store->setSelection({}); }, [](C &t) { pastedLater(t, {t.items[0].id}); }},
        KeyRow{"return_with_nothing_shown_is_not_handled", Qt::Key_Return, Qt::NoModifier, false,
               [](C &t) { t.store->setSearchQuery(QStringLiteral("zzz")); }, [](C &t) { pastedLater(t, {}); }},
        KeyRow{"space_opens_the_preview_of_the_selection", Qt::Key_Space, Qt::NoModifier, true,
               [](C &t) { selectRow(t, 1); }, [](C &t) { EXPECT_EQ(t.previewed, QList<QUuid>{t.items[1].id}); }},
        KeyRow{"space_closes_an_open_preview", Qt::Key_Space, Qt::NoModifier, true, [](C &t) { t.previewOpen = true; },
               [](C &t) { EXPECT_FALSE(t.previewOpen || !t.previewed.isEmpty()); }},
        KeyRow{"space_without_selection_is_not_handled", Qt::Key_Space, Qt::NoModifier, false,
               [](C &t) { t.store->setSelection({}); }, nullptr},
        KeyRow{"ctrl_a_selects_every_shown_clip", Qt::Key_A, Qt::ControlModifier, true, nullptr,
               [](C &t) { EXPECT_EQ(t.store->selection().size(), 5); }},
        KeyRow{"a_alone_is_not_handled", Qt::Key_A, Qt::NoModifier, false, nullptr,
               [](C &t) { EXPECT_EQ(t.store->selection().size(), 1); }},
        KeyRow{"ctrl_f_opens_the_search", Qt::Key_F, Qt::ControlModifier, true, nullptr,
               [](C &t) { EXPECT_TRUE(t.store->searchActive()); }},
        KeyRow{"backspace_deletes_the_selection", Qt::Key_Backspace, Qt::NoModifier, true, [](C &t) { selectRow(t, 1); },
               [](C &t) { EXPECT_EQ(t.store->items().size(), 4); }},
        KeyRow{"left_selects_the_previous_clip", Qt::Key_Left, Qt::NoModifier, true, [](C &t) { selectRow(t, 2); },
               [](C &t) { EXPECT_EQ(selectedId(t), t.items[1].id); }},
        KeyRow{"right_selects_the_next_clip", Qt::Key_Right, Qt::NoModifier, true, [](C &t) { selectRow(t, 2); },
               [](C &t) { EXPECT_EQ(selectedId(t), t.items[3].id); }},
        KeyRow{"up_is_left_to_the_system", Qt::Key_Up, Qt::NoModifier, false, nullptr, nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

// --- the program-wide key filter and its text-input guard ---

TEST_F(ControllerTest, whileATextFieldHasTheFocusTheCommandsLeaveKeysAlone)
{
    controller.show();
    selectRow(*this, 2);
    store->setSearchQuery(QStringLiteral("clip"));
    QWidget window;
    auto *field = new QLineEdit(QStringLiteral("abc"), &window);
    window.show();
    field->setFocus();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }, 1000));
    ASSERT_TRUE(OverlayWindowController::isTextInputActive());

    for (int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space, Qt::Key_Backspace})
        QTest::keyClick(field, Qt::Key(key));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_F, Qt::ControlModifier);

    EXPECT_EQ(selectedId(*this), items[2].id);
    EXPECT_EQ(store->searchQuery(), QStringLiteral("clip"));
    EXPECT_FALSE(store->searchActive());
    EXPECT_TRUE(controller.isVisible());
    fx.clock.advance(0.2);
    EXPECT_TRUE(pasted.isEmpty());
    EXPECT_EQ(store->items().size(), 5);
}

// Regression: Return that confirmed the new-folder popover travelled on to
// the popover window after the field had closed it, found the panel focused
// again, and pasted the selected clip as well.
TEST_F(ControllerTest, returnConfirmingAPopoverDoesNotAlsoPaste)
{
    controller.show();
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
    fx.clock.advance(0.2);
    EXPECT_TRUE(pasted.isEmpty());
}

} // namespace
