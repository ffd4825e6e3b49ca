// The watcher following change events: every owner change of a burst becomes
// its own clip, in order, through the real capture rules and the real store
// (duplicates, our own writes with and without a pending ignore, secrets, an
// owner that quits), and a clip still being converted holds back later ones.
#include <gtest/gtest.h>

#include <algorithm>

#include <QSemaphore>
#include <QTest>

#include "capture/clipboardcapture.h"
#include "capture/clipboardwatcher.h"
#include "platform/fake/fakeactivewindow.h"
#include "platform/fake/fakeclipboard.h"
#include "platform/fake/fakefileicons.h"
#include "support/storefixture.h"

namespace {

const QString kText = QStringLiteral("text/plain");

class EventWatcherTest : public ::testing::Test, public StoreFixture
{
protected:
    EventWatcherTest() : capture(activeWindow, clock, icons) {}

    void start()
    {
        auto owned = std::make_unique<ClipboardWatcher>(clipboard, clock, [this] {
            return capture.captureItem(clipboard);
        });
        watcher = owned.get();
        watcher->setOfferCapture(&ClipboardCapture::typesToRead,
                                 [this](const ClipboardOffer &offer, ClipboardCapture::Done done) {
                                     capture.captureOffer(offer, std::move(done));
                                 });
        // As the program does: the lost content goes back, as our own write.
        watcher->setOnOwnerGone([this](const ClipboardItem &item) {
            clipboard.write({{{kText, item.raw.bytes()}}, {}});
        });
        store = std::make_unique<ClipboardStore>(files, clock, defaults, player, std::move(owned));
    }

    // Newest last, as the copies were made.
    QStringList stored() const
    {
        QStringList out;
        for (const ClipboardItem &item : store->items())
            out.prepend(item.preview);
        return out;
    }

    bool waitUntilHandedOver() { return QTest::qWaitFor([this] { return watcher->pendingOffers() == 0; }, 10000); }

    void copy(const QString &text) { clipboard.copyFromOtherProgram({{kText, text.toUtf8()}}); }

    FakeClipboard clipboard;
    FakeActiveWindow activeWindow;
    FakeFileIcons icons;
    ClipboardCapture capture;
    ClipboardWatcher *watcher = nullptr;
};

// Every owner change of a burst becomes its own clip, in order. Regression:
// while a large image was converted, copies made after it were inserted
// first, and the history showed them in the wrong order.
TEST_F(EventWatcherTest, a_burst_behind_an_image_still_converting_is_held_back_and_kept_in_order)
{
    QSemaphore gate;
    capture.setImageConverter([&gate](const QByteArray &bytes, const QString &type) {
        gate.acquire();
        return ImageConversion::toStoredTiff(bytes, type);
    });
    start();
    EXPECT_TRUE(watcher->followsEvents());
    EXPECT_EQ(clock.pendingCount(), 0); // no poll timer
    clipboard.copyFromOtherProgram({{QStringLiteral("image/png"), ClipSamples::png(64, 48, Qt::blue)}});
    QStringList copied{QStringLiteral("📷 Image 64×48")};
    for (int i = 0; i < 100; ++i) {
        copied.append(QStringLiteral("copie %1").arg(i));
        copy(copied.last());
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(store->items().isEmpty());
    EXPECT_EQ(watcher->pendingOffers(), 101);

    gate.release();
    ASSERT_TRUE(waitUntilHandedOver());
    EXPECT_EQ(stored(), copied);
}

// The rules of the capture and the store on the event path, in one
// sequence: our write consumes a pending ignore without becoming a clip, a
// foreign copy repeating it is kept, an offer that delivers nothing or a
// secret gives no clip, an owner quitting puts its last clip back (as our
// write, so copying it again is a repeat) but not a secret or our own write,
// and a pending ignore does not swallow a foreign copy.
TEST_F(EventWatcherTest, a_sequence_of_changes_keeps_what_the_rules_say)
{
    start();
    copy(QStringLiteral("a"));
    store->suppressNextCapture();
    clipboard.write({{{kText, QByteArray("mine")}}, {}});
    copy(QStringLiteral("mine"));
    clipboard.emitOffer({{kText}, {}});
    clipboard.copyFromOtherProgram({{kText, QByteArray("hunter2")},
                                    {QStringLiteral("x-kde-passwordManagerHint"), QByteArray("secret")}});
    clipboard.ownerQuits();
    copy(QStringLiteral("b"));
    clipboard.ownerQuits();
    copy(QStringLiteral("b"));
    clipboard.write({{{kText, QByteArray("ours")}}, {}});
    clipboard.ownerQuits();
    store->suppressNextCapture();
    copy(QStringLiteral("c"));
    ASSERT_TRUE(waitUntilHandedOver());
    EXPECT_EQ(stored(), (QStringList{"a", "mine", "b", "c"}));
    QList<QByteArray> written;
    for (const auto &write : clipboard.writes())
        written.append(write.entries.value(0).second);
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (QList<QByteArray>{"b", "mine", "ours"})) << "our two writes and the one put back";
    EXPECT_TRUE(store->isCaptureSuppressed());
}

} // namespace
