// The data-control clipboard against a compositor of our own: with none of
// the managers there is no clipboard; offered the standard manager and the
// wlroots one (sway's, in the Wayland tier), it binds the standard one, and a
// selection is carried each way through it.
#include <gtest/gtest.h>

#include <vector>

#include <QImage>
#include <QTest>

#include "datacontrolserver.h"
#include "platform/wayland/waylandclipboard.h"
#include "platform/wayland/waylandconnection.h"
#include "support/clipsamples.h"

namespace {

// What the compositor offers reaches the watcher, which reads only the types
// it chose, and the clipboard polled; a cleared selection arrives as an offer
// without formats. Our write, far larger than a pipe buffer, is served whole
// to another client without stalling the event thread while our own watcher
// drains it too.
TEST(WaylandClipboardTest, none_without_a_manager_and_selections_carried_each_way_through_the_standard_one)
{
    {
        DataControlServer bare({});
        ASSERT_TRUE(bare.isRunning());
        const std::shared_ptr<WaylandConnection> connection = WaylandConnection::connect();
        ASSERT_TRUE(connection);
        EXPECT_FALSE(WaylandClipboard::isOffered(*connection));
        EXPECT_EQ(WaylandClipboard::create(connection), nullptr);
    }
    DataControlServer server({true, true});
    ASSERT_TRUE(server.isRunning());
    const std::shared_ptr<WaylandConnection> connection = WaylandConnection::connect();
    ASSERT_TRUE(connection);
    const std::unique_ptr<WaylandClipboard> clipboard = WaylandClipboard::create(connection);
    ASSERT_TRUE(clipboard);
    const QString utf8 = QStringLiteral("text/plain;charset=utf-8");
    std::vector<ClipboardOffer> offers;
    ASSERT_TRUE(clipboard->watchChanges([&](const QStringList &) { return QStringList{QStringLiteral("text/plain"), utf8}; },
                                        [&](const ClipboardOffer &offer) { offers.push_back(offer); }));
    const qint64 before = clipboard->changeCount();
    const QByteArray text = QStringLiteral("Ça se copie").toUtf8();
    const QByteArray png = ClipSamples::png(8, 6, QColor(200, 40, 90, 180));
    server.offerSelection({{QStringLiteral("text/plain"), text}, {QStringLiteral("image/png"), png}});

    ASSERT_TRUE(QTest::qWaitFor([&] { return !offers.empty() && !offers.back().formats.isEmpty(); }));
    EXPECT_EQ(offers.back().formats, (QStringList{QStringLiteral("text/plain"), QStringLiteral("image/png")}));
    EXPECT_EQ(offers.back().data.keys(), QList<QString>{QStringLiteral("text/plain")});
    EXPECT_EQ(offers.back().data.value(QStringLiteral("text/plain")), text);
    EXPECT_GT(clipboard->changeCount(), before);
    EXPECT_EQ(clipboard->data(QStringLiteral("image/png")), png);
    EXPECT_FALSE(clipboard->holdsOwnWrite());

    server.offerSelection({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return offers.back().formats.isEmpty(); }));
    EXPECT_TRUE(offers.back().data.isEmpty());
    EXPECT_TRUE(clipboard->formats().isEmpty());

    // Another program (a second client) reads our write through the compositor.
    const std::unique_ptr<WaylandClipboard> other = WaylandClipboard::create(WaylandConnection::connect());
    ASSERT_TRUE(other);
    QByteArray big(6 * 1024 * 1024, 'x');
    big.replace(0, 6, "écrit");
    clipboard->write(ClipboardContent{{{utf8, big}}, {}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->formats().contains(utf8); }));
    EXPECT_TRUE(other->formats().contains(QLatin1String(Clipboard::kOwnWriteMimeType)));
    EXPECT_EQ(other->data(utf8), big);
    ASSERT_TRUE(QTest::qWaitFor([&] { return offers.back().data.contains(utf8); }));
    EXPECT_EQ(offers.back().data.value(utf8), big);
    EXPECT_TRUE(clipboard->holdsOwnWrite());
}

} // namespace
