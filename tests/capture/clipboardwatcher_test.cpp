// The watcher: its timing rules when it polls (poll, settle, absorption,
// coalescing, veto) and its treatment of our own writes, on a fake clipboard
// and a fake clock; and following change events, every owner change of a
// burst becoming its own clip, in order, through the real capture rules and
// the real store, a clip still being converted holding back later ones.
#include <gtest/gtest.h>

#include <algorithm>

#include <QSemaphore>
#include <QTest>

#include "capture/clipboardcapture.h"
#include "capture/clipboardwatcher.h"
#include "platform/fake/fakeactivewindow.h"
#include "platform/fake/fakeclipboard.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakefileicons.h"
#include "support/storefixture.h"

namespace {

FakeClipboard::Entries textEntries(const QString &text)
{
    return {{QStringLiteral("text/plain"), text.toUtf8()}};
}

class WatcherTest : public ::testing::Test
{
protected:
    ClipboardWatcher &makeWatcher()
    {
        // The capture reads the fake clipboard's text, as the real reader would.
        watcher = std::make_unique<ClipboardWatcher>(clipboard, clock, [this]() -> std::optional<ClipboardItem> {
            ++captureRuns;
            const auto bytes = clipboard.data(QStringLiteral("text/plain"));
            if (!bytes || clipboard.holdsOwnWrite())
                return std::nullopt;
            ClipboardItem item;
            item.kind = ClipKind::Text;
            item.raw = *bytes;
            return item;
        });
        watcher->setOnNewItem([this](const ClipboardItem &item) { captured.append(QString::fromUtf8(item.raw.bytes())); });
        watcher->setOnOwnerGone([this](const ClipboardItem &item) { handedBack.append(QString::fromUtf8(item.raw.bytes())); });
        watcher->setShouldIgnore([this](qint64) {
            ++vetoAsked;
            return ignoreAnswer;
        });
        watcher->start();
        return *watcher;
    }

    FakeClipboard clipboard;
    FakeClock clock;
    std::unique_ptr<ClipboardWatcher> watcher;
    QStringList captured, handedBack;
    bool ignoreAnswer = false;
    int captureRuns = 0, vetoAsked = 0;
};

// A timeline of clipboard changes and clock moves, and what comes of it.
struct Step {
    enum Kind { Copy, Private, OwnWrite, Advance, LateTick, OwnerQuits } kind;
    double seconds = 0;   // Advance; LateTick: the timer fires this late
    const char *text = ""; // Copy, OwnWrite
};

struct TimelineRow {
    const char *name;
    bool vetoAnswer;
    QList<Step> before; // changes made before the watcher exists
    QList<Step> steps;
    QStringList captured;
    int captureRuns;   // -1: not checked
    bool vetoWasAsked;
    QStringList handedBack = {};
    bool stillPending = false; // a capture is still waiting at the end
};

class WatcherTimeline : public WatcherTest, public ::testing::WithParamInterface<TimelineRow> {};

TEST_P(WatcherTimeline, gives_the_captures)
{
    const TimelineRow &row = GetParam();
    ignoreAnswer = row.vetoAnswer;
    auto run = [this](const Step &step) {
        switch (step.kind) {
        case Step::Copy: clipboard.copyFromOtherProgram(textEntries(QString::fromUtf8(step.text))); break;
        case Step::Private:
            clipboard.copyFromOtherProgram({{QStringLiteral("application/x-private"), QByteArray("?")}});
            break;
        case Step::OwnWrite: clipboard.write({{{QStringLiteral("text/plain"), QByteArray(step.text)}}, {}}); break;
        case Step::Advance: clock.advance(step.seconds); break;
        case Step::LateTick:
            clock.setNow(clock.now() + step.seconds);
            watcher->tick();
            EXPECT_EQ(watcher->lastChangeCount(), clipboard.changeCount());
            break;
        case Step::OwnerQuits: clipboard.ownerQuits(); break;
        }
    };
    for (const Step &step : row.before)
        run(step);
    makeWatcher();
    for (const Step &step : row.steps)
        run(step);
    EXPECT_EQ(captured, row.captured);
    if (row.captureRuns >= 0) {
        EXPECT_EQ(captureRuns, row.captureRuns);
    }
    EXPECT_EQ(vetoAsked > 0, row.vetoWasAsked);
    EXPECT_EQ(handedBack, row.handedBack);
    EXPECT_EQ(watcher->isCoalescing(), row.stillPending);
}

Step copyOf(const char *text) { return {Step::Copy, 0, text}; }
Step after(double seconds) { return {Step::Advance, seconds}; }
Step lateTick(double seconds) { return {Step::LateTick, seconds}; }
const Step privateType{Step::Private};
const Step ownerQuits{Step::OwnerQuits};
Step ownWrite(const char *text) { return {Step::OwnWrite, 0, text}; }

INSTANTIATE_TEST_SUITE_P(Rows, WatcherTimeline, ::testing::Values(
    TimelineRow{"content_present_at_creation_is_never_captured", false, {copyOf("old")},
                {after(2), copyOf("new"), after(1)}, {"new"}, 1, false},
    // The poll 0.5 s after the copy sees it; the capture follows 0.2 s later.
    TimelineRow{"nothing_is_captured_before_poll_and_settle", false, {}, {copyOf("a"), after(0.69)}, {}, 0, false, {},
                true},
    TimelineRow{"captured_once_poll_and_settle_are_over", false, {}, {copyOf("a"), after(0.71)}, {"a"}, 1, false},
    // The store drops the second as a repeat; the watcher reports both.
    TimelineRow{"copy_between_poll_and_its_capture_is_read_by_it_and_seen_again", false, {},
                {copyOf("a"), after(0.5), copyOf("b"), after(1)}, {"b", "b"}, -1, false},
    TimelineRow{"two_copies_between_polls_give_one_capture_of_the_second", false, {},
                {copyOf("first"), copyOf("second"), after(1)}, {"second"}, 1, false},
    // Captured at 0.7; the poll at 1.0 is 0.5 s after the first: not absorbed.
    TimelineRow{"changes_at_consecutive_polls_are_both_captured", false, {},
                {copyOf("a"), after(0.8), copyOf("b"), after(0.7)}, {"a", "b"}, 2, false},
    // A late timer 0.1 s after the accepting poll sees a further change: the
    // pending capture reads what is there then, the absorbed change adds nothing.
    TimelineRow{"change_seen_by_a_late_poll_within_absorption_window_is_absorbed", false, {},
                {copyOf("a"), after(0.5), copyOf("b"), lateTick(0.1), after(2)}, {"b"}, 1, false},
    // The main thread was held up: the next poll runs 0.3 s later, before the
    // pending capture, and sees another change.
    TimelineRow{"change_while_capture_pending_is_coalesced_into_it", false, {},
                {copyOf("a"), after(0.5), copyOf("c"), lateTick(0.3), after(2)}, {"c"}, 1, false},
    TimelineRow{"own_write_asks_the_veto_and_is_never_captured", true, {}, {ownWrite("mine"), after(1)}, {}, 0, true},
    TimelineRow{"veto_also_absorbs_a_change_within_the_window", true, {},
                {ownWrite("mine"), after(0.5), copyOf("foreign"), lateTick(0.2), after(1)}, {}, -1, true},
    // Regression: a pending one-shot ignore swallowed the next real copy made
    // by another program. The veto is asked about our own writes only.
    TimelineRow{"foreign_copy_is_captured_even_while_an_ignore_is_pending", true, {},
                {copyOf("real copy"), after(1)}, {"real copy"}, 1, false},
    TimelineRow{"change_without_an_item_leaves_the_watcher_ready", false, {},
                {privateType, after(1), copyOf("next"), after(1)}, {"next"}, 2, false},
    TimelineRow{"owner_quitting_hands_back_the_captured_clip", false, {},
                {copyOf("keep me"), after(1), ownerQuits, after(1)}, {"keep me"}, -1, false, {"keep me"}},
    TimelineRow{"owner_quitting_after_an_uncaptured_change_hands_back_nothing", false, {},
                {copyOf("a"), after(1), privateType, after(1), ownerQuits, after(1)}, {"a"}, -1, false}),
    [](const auto &info) { return std::string(info.param.name); });

// ------------------------------------------------------- following change events

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
