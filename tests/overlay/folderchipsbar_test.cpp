// The folder bar: search open/close and the query watch, the chips and
// their colours, the folder menu, and the name popovers' trimming.
#include <gtest/gtest.h>

#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "overlay/folderchip.h"
#include "overlay/folderchipsbar.h"
#include "overlay/foldernamepopover.h"
#include "overlay/roundiconbutton.h"
#include "overlay/searchtextfield.h"
#include "support/storefixture.h"

namespace {

class ChipsBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QList<ClipboardFolder> folders;
        for (int i = 0; i < 9; ++i)
            folders.append(StoreFixture::folder(QStringLiteral("Dossier %1").arg(i + 1)));
        store = &fx.makeStore(fx.textClips(3), folders);
        bar = std::make_unique<FolderChipsBar>(*store, fx.clock);
        bar->resize(1500, 40);
        bar->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
    }
    void TearDown() override
    {
        if (bar->popover())
            bar->popover()->close();
    }

    StoreFixture fx;
    ClipboardStore *store = nullptr;
    std::unique_ptr<FolderChipsBar> bar;
};

TEST_F(ChipsBarTest, oneChipPerFolderColoursRepeatingAfterEightAndClicksSetTheFolder)
{
    ASSERT_EQ(bar->folderChips().size(), 9);
    EXPECT_EQ(bar->folderChips()[8]->color(), bar->folderChips()[0]->color()) << "the ninth folder is red again";
    EXPECT_TRUE(bar->recentsChip()->isSelected());
    QTest::mouseClick(bar->folderChips()[2], Qt::LeftButton);
    EXPECT_EQ(store->currentFolder(), store->folders()[2].id);
    EXPECT_TRUE(bar->folderChips()[2]->isSelected());
    EXPECT_FALSE(bar->recentsChip()->isSelected());
    QTest::mouseClick(bar->recentsChip(), Qt::LeftButton);
    EXPECT_EQ(store->currentFolder(), std::nullopt);
}

TEST_F(ChipsBarTest, theSearchSwapsTheChipsForTheFieldFollowsTypingAndClosesWhenEmptied)
{
    QTest::mouseClick(bar->searchButton(), Qt::LeftButton);
    EXPECT_TRUE(store->searchActive());
    EXPECT_TRUE(bar->searchField()->isVisible());
    EXPECT_FALSE(bar->folderChips()[0]->isVisible());
    fx.clock.advance(0.1);
    EXPECT_TRUE(bar->searchFocused());
    QTest::keyClicks(bar->searchField(), QStringLiteral("cli"));
    EXPECT_EQ(store->searchQuery(), QStringLiteral("cli"));
    bar->toggleSearch();
    EXPECT_FALSE(store->searchActive());
    EXPECT_TRUE(store->searchQuery().isEmpty());
    EXPECT_TRUE(bar->recentsChip()->isVisible());

    bar->toggleSearch();
    QTest::keyClicks(bar->searchField(), QStringLiteral("x"));
    QTest::keyClick(bar->searchField(), Qt::Key_Backspace);
    EXPECT_FALSE(store->searchActive()) << "emptied by hand";
    store->setSearchActive(true);
    store->setSearchQuery(QStringLiteral("abc"));
    EXPECT_EQ(bar->searchField()->text(), QStringLiteral("abc"));
    store->setSearchQuery(QString());
    EXPECT_FALSE(store->searchActive()) << "emptied elsewhere";
    EXPECT_TRUE(bar->folderChips()[0]->isVisible());
}

// The folder menu deletes and renames; a name typed in a popover is trimmed
// of spaces and line breaks, and one left empty keeps the popover open and
// changes nothing.
TEST_F(ChipsBarTest, theFolderMenuAndTheNamePopoversTrimTheNameOrStayOpen)
{
    std::unique_ptr<QMenu> menu(bar->createFolderMenu(store->folders()[1]));
    ASSERT_EQ(menu->actions().size(), 3);
    menu->actions()[2]->trigger();
    EXPECT_EQ(store->folders().size(), 8);
    menu.reset(bar->createFolderMenu(store->folders()[0]));
    menu->actions()[0]->trigger();
    ASSERT_TRUE(bar->popover());
    EXPECT_EQ(bar->popover()->text(), QStringLiteral("Dossier 1"));
    for (const QString &typed : {QStringLiteral("   "), QStringLiteral("\n Archives  ")}) {
        ASSERT_TRUE(bar->popover()) << "an empty name is refused";
        bar->popover()->setText(typed);
        bar->popover()->confirm();
    }
    EXPECT_EQ(store->folders()[0].name, QStringLiteral("Archives"));
    EXPECT_FALSE(bar->renaming().has_value());

    bar->beginAdding();
    QTest::mouseClick(bar->popover()->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(bar->isAdding());
    for (const QString &typed : {QStringLiteral("\n\t\r\n"), QStringLiteral(" Mes projets \n")}) {
        bar->beginAdding();
        bar->popover()->setText(typed);
        QTest::mouseClick(bar->popover()->confirmButton(), Qt::LeftButton);
    }
    EXPECT_FALSE(bar->isAdding());
    ASSERT_EQ(store->folders().size(), 9);
    EXPECT_EQ(store->folders().last().name, QStringLiteral("Mes projets"));
}

} // namespace
