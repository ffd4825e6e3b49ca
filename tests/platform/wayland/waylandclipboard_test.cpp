// The data-control clipboard against a compositor of our own: which manager
// it binds, and a selection carried each way through it.
#include <gtest/gtest.h>

#include <vector>

#include <QImage>
#include <QTest>

#include "datacontrolserver.h"
#include "platform/wayland/waylandclipboard.h"
#include "platform/wayland/waylandconnection.h"
#include "support/clipsamples.h"

namespace {

struct ProtocolRow
{
    const char *name;
    DataControlServer::Globals globals;
};

void PrintTo(const ProtocolRow &row, std::ostream *out)
{
    *out << row.name;
}

class DataControlClipboardTest : public ::testing::TestWithParam<ProtocolRow>
{
protected:
    void SetUp() override
    {
        server = std::make_unique<DataControlServer>(GetParam().globals);
        ASSERT_TRUE(server->isRunning());
        connection = WaylandConnection::connect();
        ASSERT_TRUE(connection);
        clipboard = WaylandClipboard::create(connection);
        ASSERT_TRUE(clipboard);
    }

    // Declared first, so the server outlives its client.
    std::unique_ptr<DataControlServer> server;
    std::vector<ClipboardOffer> offers;
    std::shared_ptr<WaylandConnection> connection;
    std::unique_ptr<WaylandClipboard> clipboard;
};

// What the compositor offers reaches the watcher, which reads only the types
// it chose, and the clipboard polled; a cleared selection arrives as an
// offer without formats.
TEST_P(DataControlClipboardTest, an_offered_selection_reaches_the_watcher_and_the_poll)
{
    ASSERT_TRUE(clipboard->watchChanges([](const QStringList &) { return QStringList{QStringLiteral("text/plain")}; },
                                        [this](const ClipboardOffer &offer) { offers.push_back(offer); }));
    const qint64 before = clipboard->changeCount();
    const QByteArray text = QStringLiteral("Ça se copie").toUtf8();
    const QByteArray png = ClipSamples::png(8, 6, QColor(200, 40, 90, 180));
    server->offerSelection({{QStringLiteral("text/plain"), text}, {QStringLiteral("image/png"), png}});

    ASSERT_TRUE(QTest::qWaitFor([this] { return !offers.empty() && !offers.back().formats.isEmpty(); }));
    const ClipboardOffer offer = offers.back();
    EXPECT_EQ(offer.formats, (QStringList{QStringLiteral("text/plain"), QStringLiteral("image/png")}));
    EXPECT_EQ(offer.data.keys(), QList<QString>{QStringLiteral("text/plain")});
    EXPECT_EQ(offer.data.value(QStringLiteral("text/plain")), text);
    EXPECT_GT(clipboard->changeCount(), before);
    EXPECT_EQ(clipboard->data(QStringLiteral("image/png")), png);
    EXPECT_EQ(clipboard->data(QStringLiteral("text/html")), std::nullopt);
    EXPECT_FALSE(clipboard->holdsOwnWrite());

    server->offerSelection({});
    ASSERT_TRUE(QTest::qWaitFor([this] { return offers.back().formats.isEmpty(); }));
    EXPECT_TRUE(offers.back().data.isEmpty());
    EXPECT_TRUE(clipboard->formats().isEmpty());
}

// Far larger than a pipe buffer: serving our write must not stall the event
// thread while our own watcher drains the same write.
TEST_P(DataControlClipboardTest, a_write_is_served_whole_and_announced_as_ours)
{
    ASSERT_TRUE(clipboard->watchChanges([](const QStringList &offered) { return offered; },
                                        [this](const ClipboardOffer &offer) { offers.push_back(offer); }));
    const QString utf8 = QStringLiteral("text/plain;charset=utf-8");
    QByteArray text(6 * 1024 * 1024, 'x');
    text.replace(0, 6, "écrit");
    clipboard->write(ClipboardContent{{{utf8, text}}, {}});

    QStringList types;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        types = server->clientSelectionTypes();
        return !types.isEmpty();
    }));
    EXPECT_TRUE(types.contains(utf8)) << types.join(u' ').toStdString();
    EXPECT_TRUE(types.contains(QLatin1String(Clipboard::kOwnWriteMimeType))) << types.join(u' ').toStdString();
    EXPECT_EQ(server->readClientSelection(utf8), text);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !offers.empty(); }));
    EXPECT_EQ(offers.back().data.value(utf8), text);
    EXPECT_TRUE(clipboard->holdsOwnWrite());
}

// The wlroots manager alone is sway's, in the Wayland tier.
INSTANTIATE_TEST_SUITE_P(
    WaylandClipboard, DataControlClipboardTest,
    ::testing::Values(ProtocolRow{"standard_manager_alone", {true, false}},
                      ProtocolRow{"standard_manager_before_the_wlroots_one", {true, true}}),
    [](const ::testing::TestParamInfo<ProtocolRow> &info) { return std::string(info.param.name); });

TEST(WaylandClipboardTest, a_compositor_without_a_data_control_manager_gives_no_clipboard)
{
    DataControlServer server({});
    ASSERT_TRUE(server.isRunning());
    const std::shared_ptr<WaylandConnection> connection = WaylandConnection::connect();
    ASSERT_TRUE(connection);
    EXPECT_FALSE(WaylandClipboard::isOffered(*connection));
    EXPECT_EQ(WaylandClipboard::create(connection), nullptr);
}

} // namespace
