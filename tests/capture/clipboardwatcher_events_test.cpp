// The watcher following change events: every owner change of a burst becomes
// its own clip, in order, through the real capture rules and the real store
// (duplicates, our own writes with and without a pending ignore, secrets, an
// owner that quits), and a clip still being converted holds back later ones.
#include <gtest/gtest.h>

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

// ------------------------------------------------------- sequences of changes

enum class Step { Copy, OwnWrite, Secret, Unreadable, OwnerQuits, SuppressNext };

struct Change
{
    Step step;
    QString text;
};

struct SequenceRow
{
    const char *name;
    QList<Change> changes;
    QStringList stored;      // previews, oldest first
    int putBacks;            // content written back after its owner quit
    bool ignoreLeftPending;  // the store's one-shot ignore still set at the end
};

class EventSequences : public EventWatcherTest, public ::testing::WithParamInterface<SequenceRow> {};

TEST_P(EventSequences, keep_what_the_rules_say)
{
    const SequenceRow &row = GetParam();
    start();
    for (const Change &change : row.changes) {
        switch (change.step) {
        case Step::Copy:
            copy(change.text);
            break;
        case Step::OwnWrite:
            clipboard.write({{{kText, change.text.toUtf8()}}, {}});
            break;
        case Step::Secret:
            clipboard.copyFromOtherProgram({{kText, change.text.toUtf8()},
                                            {QStringLiteral("x-kde-passwordManagerHint"), QByteArray("secret")}});
            break;
        case Step::Unreadable: // an owner that offered text but delivered nothing
            clipboard.emitOffer({{kText}, {}});
            break;
        case Step::OwnerQuits:
            clipboard.ownerQuits();
            break;
        case Step::SuppressNext:
            store->suppressNextCapture();
            break;
        }
    }
    ASSERT_TRUE(waitUntilHandedOver());
    EXPECT_EQ(stored(), row.stored);
    int ownWrites = 0;
    for (const Change &change : row.changes)
        ownWrites += change.step == Step::OwnWrite ? 1 : 0;
    EXPECT_EQ(clipboard.writes().size() - ownWrites, row.putBacks);
    EXPECT_EQ(store->isCaptureSuppressed(), row.ignoreLeftPending);
}

Change copyOf(const char *text) { return {Step::Copy, QString::fromUtf8(text)}; }
Change ownWrite(const char *text) { return {Step::OwnWrite, QString::fromUtf8(text)}; }
Change secret(const char *text) { return {Step::Secret, QString::fromUtf8(text)}; }
const Change unreadable{Step::Unreadable, {}};
const Change ownerQuits{Step::OwnerQuits, {}};
const Change suppressNext{Step::SuppressNext, {}};

INSTANTIATE_TEST_SUITE_P(Rows, EventSequences, ::testing::Values(
    SequenceRow{"own_write_is_never_captured_without_a_pending_ignore",
                {copyOf("a"), ownWrite("mine"), copyOf("b")}, {"a", "b"}, 0, false},
    SequenceRow{"own_write_consumes_the_pending_ignore",
                {copyOf("a"), suppressNext, ownWrite("mine"), copyOf("b")}, {"a", "b"}, 0, false},
    SequenceRow{"pending_ignore_does_not_swallow_a_foreign_copy",
                {suppressNext, copyOf("a"), copyOf("b")}, {"a", "b"}, 0, true},
    SequenceRow{"foreign_copy_after_our_write_repeating_it_is_kept",
                {copyOf("a"), ownWrite("b"), copyOf("b")}, {"a", "b"}, 0, false},
    SequenceRow{"unreadable_offer_gives_no_clip_and_the_next_is_kept",
                {copyOf("a"), unreadable, copyOf("b")}, {"a", "b"}, 0, false},
    SequenceRow{"owner_quitting_puts_the_last_clip_back",
                {copyOf("a"), copyOf("b"), ownerQuits, copyOf("c")}, {"a", "b", "c"}, 1, false},
    SequenceRow{"owner_of_a_secret_quitting_puts_nothing_back",
                {copyOf("a"), secret("hunter2"), ownerQuits}, {"a"}, 0, false},
    SequenceRow{"owner_quitting_after_our_write_puts_nothing_back",
                {copyOf("a"), ownWrite("mine"), ownerQuits}, {"a"}, 0, false},
    SequenceRow{"put_back_content_copied_again_is_a_repeat",
                {copyOf("a"), ownerQuits, copyOf("a")}, {"a"}, 1, false}),
    [](const ::testing::TestParamInfo<SequenceRow> &info) { return std::string(info.param.name); });

} // namespace
