// The native Wayland services against a real compositor (headless sway, see
// support/start-sway.sh): the data-control clipboard sees what wl-copy puts
// on the clipboard and serves our writes to wl-paste, the foreign-toplevel
// list knows the window in front and activates another, and the virtual
// keyboard pastes into a native Wayland client.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/wayland/waylandactivewindow.h"
#include "platform/wayland/waylandclipboard.h"
#include "platform/wayland/waylandconnection.h"
#include "platform/wayland/waylandvirtualkeyboard.h"
#include "support/e2esteps.h"
#include "support/patience.h"
#include "support/runningapp.h"
#include "support/waylandtarget.h"

namespace {

const QString kUtf8 = QStringLiteral("text/plain;charset=utf-8");
const QString kOwn = QString::fromLatin1(Clipboard::kOwnWriteMimeType);

QString waylandUnavailable()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral("no Wayland compositor (WAYLAND_DISPLAY unset; scripts/run-tests.sh starts headless sway)");
    return missingProgram({QStringLiteral("wl-copy"), QStringLiteral("wl-paste")});
}

QByteArray wlPaste(const QStringList &args)
{
    QByteArray out;
    runTool(QStringLiteral("wl-paste"), args, &out);
    return out;
}

class WaylandClipboardE2E : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const QString reason = waylandUnavailable(); !reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        connection = WaylandConnection::connect();
        ASSERT_TRUE(connection) << "cannot connect to " << qgetenv("WAYLAND_DISPLAY").constData();
        clipboard = WaylandClipboard::create(connection);
        ASSERT_TRUE(clipboard) << "the compositor offers no data-control manager";
    }

    void TearDown() override
    {
        if (connection)
            wlCopy({QStringLiteral("--clear")}); // ends the wl-copy servers still running
        clipboard.reset();
        connection.reset();
    }

    void watchAll()
    {
        clipboard->watchChanges([](const QStringList &offered) { return offered; },
                                [this](const ClipboardOffer &offer) { offers.append(offer); });
    }

    bool waitForOffers(int count) { return waitUntil([&] { return offers.size() >= count; }, 3000); }

    std::shared_ptr<WaylandConnection> connection;
    std::unique_ptr<WaylandClipboard> clipboard;
    QList<ClipboardOffer> offers;
};

TEST_F(WaylandClipboardE2E, each_copy_arrives_as_one_offer_in_order_with_its_bytes)
{
    watchAll();
    ASSERT_EQ(wlCopy({QStringLiteral("Bonjour é")}), 0);

    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    ASSERT_EQ(wlCopy({QStringLiteral("-t"), QStringLiteral("image/png")}, png), 0);
    ASSERT_EQ(wlCopy({QStringLiteral("-t"), QStringLiteral("text/uri-list")}, QByteArray("file:///etc/hostname\r\n")), 0);

    ASSERT_TRUE(waitForOffers(3));
    const ClipboardOffer &text = offers.at(0);
    EXPECT_TRUE(text.formats.contains(kUtf8)) << text.formats.join(',').toStdString();
    EXPECT_TRUE(text.formats.contains(QStringLiteral("text/plain")));
    EXPECT_FALSE(text.formats.contains(QStringLiteral("UTF8_STRING")));
    EXPECT_EQ(QString::fromUtf8(text.data.value(kUtf8)), QStringLiteral("Bonjour é"));

    EXPECT_EQ(offers.at(1).formats, QStringList{QStringLiteral("image/png")});
    EXPECT_EQ(offers.at(1).data.value(QStringLiteral("image/png")), png);
    EXPECT_EQ(offers.at(2).data.value(QStringLiteral("text/uri-list")), QByteArray("file:///etc/hostname\r\n"));
    EXPECT_FALSE(clipboard->holdsOwnWrite());
}

TEST_F(WaylandClipboardE2E, only_the_chosen_types_are_read)
{
    clipboard->watchChanges([](const QStringList &) { return QStringList{QStringLiteral("text/plain")}; },
                            [this](const ClipboardOffer &offer) { offers.append(offer); });
    ASSERT_EQ(wlCopy({QStringLiteral("choisi")}), 0);
    ASSERT_TRUE(waitForOffers(1));
    EXPECT_EQ(offers.first().data.keys(), QList<QString>{QStringLiteral("text/plain")});
    EXPECT_EQ(offers.first().data.value(QStringLiteral("text/plain")), QByteArray("choisi"));
}

TEST_F(WaylandClipboardE2E, clearing_the_clipboard_arrives_as_an_offer_without_formats)
{
    watchAll();
    ASSERT_EQ(wlCopy({QStringLiteral("bientôt effacé")}), 0);
    ASSERT_TRUE(waitForOffers(1));
    ASSERT_EQ(wlCopy({QStringLiteral("--clear")}), 0);
    ASSERT_TRUE(waitForOffers(2));
    EXPECT_TRUE(offers.at(1).formats.isEmpty());
    EXPECT_TRUE(offers.at(1).data.isEmpty());
    EXPECT_TRUE(clipboard->formats().isEmpty());
}

TEST_F(WaylandClipboardE2E, our_write_is_served_to_other_programs_and_marked_as_ours)
{
    watchAll();
    ClipboardContent content;
    content.entries = {{QStringLiteral("text/plain"), QByteArray("alpha")}};
    clipboard->write(content);
    ASSERT_TRUE(waitForOffers(1));
    EXPECT_TRUE(offers.first().formats.contains(kOwn));
    EXPECT_TRUE(clipboard->holdsOwnWrite());
    EXPECT_EQ(wlPaste({QStringLiteral("-n"), QStringLiteral("-t"), kUtf8}), QByteArray("alpha"));
    EXPECT_TRUE(wlPaste({QStringLiteral("-l")}).contains(kOwn.toUtf8()));
}

TEST_F(WaylandClipboardE2E, a_large_write_is_served_whole_without_blocking_our_own_reads)
{
    // Far larger than a pipe buffer: the serving side must not stall the
    // event thread while our own reader drains the same pipe.
    watchAll();
    QByteArray big(6 * 1024 * 1024, 'x');
    big[0] = 'a';
    big[big.size() - 1] = 'z';
    ClipboardContent content;
    content.entries = {{QStringLiteral("application/octet-stream"), big}};
    clipboard->write(content);
    ASSERT_TRUE(waitForOffers(1));
    EXPECT_EQ(offers.first().data.value(QStringLiteral("application/octet-stream")), big);
    EXPECT_EQ(wlPaste({QStringLiteral("-t"), QStringLiteral("application/octet-stream")}), big);
}

TEST_F(WaylandClipboardE2E, polling_sees_the_change_count_formats_and_bytes)
{
    const qint64 before = clipboard->changeCount();
    ASSERT_EQ(wlCopy({QStringLiteral("sondé")}), 0);
    ASSERT_TRUE(waitUntil([&] { return clipboard->changeCount() > before; }, 3000));
    EXPECT_TRUE(clipboard->formats().contains(QStringLiteral("text/plain")));
    EXPECT_EQ(clipboard->data(QStringLiteral("text/plain")), std::optional<QByteArray>(QByteArray("sondé")));
    EXPECT_EQ(clipboard->data(QStringLiteral("image/png")), std::nullopt);
}

class WaylandPasteE2E : public WaylandClipboardE2E
{
protected:
    void SetUp() override
    {
        WaylandClipboardE2E::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        activeWindow = WaylandActiveWindow::create(connection);
        ASSERT_TRUE(activeWindow) << "the compositor offers no foreign-toplevel manager";
        keyboard = WaylandVirtualKeyboard::create(connection);
        ASSERT_TRUE(keyboard) << "the compositor offers no virtual keyboard";
        ASSERT_TRUE(keyboard->isTrusted());
    }

    void TearDown() override
    {
        keyboard.reset();
        activeWindow.reset();
        WaylandClipboardE2E::TearDown();
    }

    bool waitForFront(const QString &appId)
    {
        return waitUntil([&] {
            const auto front = activeWindow->frontmost();
            return front && front->appId == appId;
        }, 8000);
    }

    std::unique_ptr<WaylandActiveWindow> activeWindow;
    std::unique_ptr<WaylandVirtualKeyboard> keyboard;
};

TEST_F(WaylandPasteE2E, ctrl_v_pastes_into_the_native_client_in_front)
{
    WaylandTarget target(QStringLiteral(BRAMBLET_PASTE_TARGET));
    ASSERT_TRUE(target.waitReady());
    ASSERT_TRUE(waitForFront(QStringLiteral("bramblet_paste_target")));
    EXPECT_FALSE(activeWindow->frontmost()->isOwn);
    ASSERT_EQ(wlCopy({QStringLiteral("alpha")}), 0);
    keyboard->sendPasteChord(PasteChord::CtrlV);
    EXPECT_TRUE(waitUntil([&] { return target.received() == QStringLiteral("alpha"); }, 5000))
        << "received: " << target.received().toStdString();
}

TEST_F(WaylandPasteE2E, a_terminal_gets_ctrl_shift_v_and_activation_brings_a_window_back)
{
    WaylandTarget terminal(QStringLiteral(BRAMBLET_PASTE_TARGET), QStringLiteral("foot"));
    ASSERT_TRUE(terminal.waitReady());
    ASSERT_TRUE(waitForFront(QStringLiteral("foot")));
    const WindowRef terminalWindow = *activeWindow->frontmost();
    EXPECT_EQ(terminalWindow.wmClass, QStringLiteral("foot"));

    // Another window takes the front; activation gives it back to the terminal.
    WaylandTarget other(QStringLiteral(BRAMBLET_PASTE_TARGET));
    ASSERT_TRUE(other.waitReady());
    ASSERT_TRUE(waitForFront(QStringLiteral("bramblet_paste_target")));
    activeWindow->activate(terminalWindow);
    ASSERT_TRUE(waitUntil([&] {
        const auto front = activeWindow->frontmost();
        return front && front->id == terminalWindow.id;
    }, 5000));

    ASSERT_EQ(wlCopy({QStringLiteral("beta")}), 0);
    keyboard->sendPasteChord(PasteChord::CtrlShiftV);
    EXPECT_TRUE(waitUntil([&] { return terminal.received() == QStringLiteral("beta"); }, 5000))
        << "terminal received: " << terminal.received().toStdString();
    keyboard->sendPasteChord(PasteChord::CtrlV);
    EXPECT_TRUE(waitUntil([&] { return terminal.received() == QStringLiteral("beta^V"); }, 5000))
        << "terminal received: " << terminal.received().toStdString();
    EXPECT_TRUE(other.received().isEmpty());
}

} // namespace
