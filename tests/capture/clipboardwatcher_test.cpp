// The watcher's timing rules (poll, settle, absorption, coalescing, veto) and
// its treatment of our own writes, on a fake clipboard and a fake clock.
#include <gtest/gtest.h>

#include "capture/clipboardwatcher.h"
#include "platform/fake/fakeclipboard.h"
#include "platform/fake/fakeclock.h"

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

} // namespace
