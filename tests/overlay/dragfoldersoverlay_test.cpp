// The folder-target layer: its targets, hover and click reports, and the
// Escape watch that exists only while it is shown.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "overlay/dragfoldersoverlay.h"
#include "overlay/folderdroptarget.h"
#include "support/storefixture.h"

namespace {

// Counts the key presses that reach it.
class KeySink final : public QWidget
{
public:
    int presses = 0;

protected:
    void keyPressEvent(QKeyEvent *) override { ++presses; }
};

TEST(DragFoldersOverlay, targetsAreTousThenTheFoldersReportHoverClickAndCancel)
{
    QWidget host;
    host.resize(1596, 330);
    auto *overlay = new DragFoldersOverlay(&host);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    const ClipboardFolder work = StoreFixture::folder(QStringLiteral("Travail"));
    overlay->setFolders({work});
    overlay->appear();
    ASSERT_EQ(overlay->targets().size(), 2);
    EXPECT_EQ(overlay->targets()[0]->name(), QStringLiteral("Tous"));
    EXPECT_TRUE(overlay->targets()[0]->isHovered());

    QSignalSpy hovers(overlay, &DragFoldersOverlay::hoverRequested);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(overlay->targets()[1], &enter);
    ASSERT_EQ(hovers.size(), 1);
    EXPECT_EQ(hovers[0][0].value<std::optional<QUuid>>(), work.id);
    overlay->setHoveredFolderId(work.id);
    EXPECT_TRUE(overlay->targets()[1]->isHovered());
    EXPECT_FALSE(overlay->targets()[0]->isHovered());
    QSignalSpy drops(overlay, &DragFoldersOverlay::dropRequested);
    QTest::mouseClick(overlay->targets()[1], Qt::LeftButton);
    ASSERT_EQ(drops.size(), 1);
    EXPECT_EQ(drops[0][0].value<std::optional<QUuid>>(), work.id);

    // Escape or a click on the background cancels; Escape is swallowed only while shown.
    KeySink sink;
    sink.show();
    QSignalSpy cancels(overlay, &DragFoldersOverlay::cancelRequested);
    QTest::keyClick(&sink, Qt::Key_Escape);
    QTest::keyClick(&sink, Qt::Key_A);
    EXPECT_EQ(std::pair(int(cancels.size()), sink.presses), std::pair(1, 1));
    QTest::mouseClick(overlay, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(cancels.size(), 2);
    overlay->disappear();
    QTest::keyClick(&sink, Qt::Key_Escape);
    EXPECT_EQ(std::pair(int(cancels.size()), sink.presses), std::pair(2, 2));
}

} // namespace
