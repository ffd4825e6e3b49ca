// The folder-target layer: its targets, hover and click reports, and the
// Escape watch that exists only while it is shown.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "overlay/dragfoldersoverlay.h"
#include "overlay/folderdroptarget.h"
#include "storefixture.h"
#include "support/logcapture.h"

namespace {

// Counts the key presses that reach it.
class KeySink final : public QWidget
{
public:
    int presses = 0;

protected:
    void keyPressEvent(QKeyEvent *) override { ++presses; }
};

class OverlayLayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host.resize(1596, 330);
        overlay = new DragFoldersOverlay(&host);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    QWidget host;
    DragFoldersOverlay *overlay = nullptr;
    LogCapture log;
};

TEST_F(OverlayLayerTest, withNoFoldersOnlyTousIsShownAndHovered)
{
    overlay->setFolders({});
    overlay->appear();
    ASSERT_EQ(overlay->targets().size(), 1);
    EXPECT_EQ(overlay->targets()[0]->name(), QStringLiteral("Tous"));
    EXPECT_TRUE(overlay->targets()[0]->isHovered());
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 OVERLAY: Appeared with 0 folders")));
    overlay->disappear();
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 OVERLAY: Disappeared")));
}

TEST_F(OverlayLayerTest, clickingATargetReportsItsFolder)
{
    const ClipboardFolder work = StoreFixture::folder(QStringLiteral("Travail"));
    overlay->setFolders({work});
    overlay->appear();
    QSignalSpy drops(overlay, &DragFoldersOverlay::dropRequested);
    FolderDropTarget *target = overlay->targets()[1];
    QTest::mouseClick(target, Qt::LeftButton);
    ASSERT_EQ(drops.size(), 1);
    EXPECT_EQ(drops[0][0].value<std::optional<QUuid>>(), work.id);
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 TARGET 'Travail': tapped!")));
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 OVERLAY: Drop on 'Travail'")));
}

TEST_F(OverlayLayerTest, hoveringAFolderTargetLogsAndReports)
{
    const ClipboardFolder work = StoreFixture::folder(QStringLiteral("Travail"));
    overlay->setFolders({work});
    overlay->appear();
    QSignalSpy hovers(overlay, &DragFoldersOverlay::hoverRequested);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(overlay->targets()[1], &enter);
    ASSERT_EQ(hovers.size(), 1);
    EXPECT_EQ(hovers[0][0].value<std::optional<QUuid>>(), work.id);
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 TARGET 'Travail': hover=true")));
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 OVERLAY: Hover on 'Travail'")));
    overlay->setHoveredFolderId(work.id);
    EXPECT_TRUE(overlay->targets()[1]->isHovered());
    EXPECT_FALSE(overlay->targets()[0]->isHovered());
}

TEST_F(OverlayLayerTest, aClickOnTheBackgroundCancels)
{
    overlay->setFolders({});
    overlay->appear();
    QSignalSpy cancels(overlay, &DragFoldersOverlay::cancelRequested);
    QTest::mouseClick(overlay, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(cancels.size(), 1);
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 OVERLAY: Tap on background, cancelling")));
}

TEST_F(OverlayLayerTest, escapeIsSwallowedOnlyWhileShown)
{
    KeySink sink;
    sink.show();
    overlay->setFolders({});
    overlay->appear();
    QSignalSpy cancels(overlay, &DragFoldersOverlay::cancelRequested);
    QTest::keyClick(&sink, Qt::Key_Escape);
    EXPECT_EQ(cancels.size(), 1);
    EXPECT_EQ(sink.presses, 0);
    EXPECT_TRUE(log.contains(QStringLiteral("🎯 OVERLAY: ESC pressed, cancelling")));
    QTest::keyClick(&sink, Qt::Key_A);
    EXPECT_EQ(sink.presses, 1) << "other keys pass";

    overlay->disappear();
    EXPECT_FALSE(overlay->isEscapeWatchInstalled());
    QTest::keyClick(&sink, Qt::Key_Escape);
    EXPECT_EQ(cancels.size(), 1);
    EXPECT_EQ(sink.presses, 2);
}

} // namespace
