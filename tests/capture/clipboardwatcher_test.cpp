// The watcher's timing rules (poll, settle, absorption, coalescing, veto) and
// its treatment of our own writes, on a fake clipboard and a fake clock.
#include <gtest/gtest.h>

#include "capture/clipboardwatcher.h"
#include "platform/fake/fakeclipboard.h"
#include "platform/fake/fakeclock.h"
#include "support/logcapture.h"

namespace {

FakeClipboard::Entries textEntries(const QString &text)
{
    return {{QStringLiteral("text/plain"), text.toUtf8()}};
}

class WatcherTest : public ::testing::Test
{
protected:
    WatcherTest()
    {
        // The capture reads the fake clipboard's text, as the real reader would.
        capture = [this]() -> std::optional<ClipboardItem> {
            ++captureRuns;
            const auto bytes = clipboard.data(QStringLiteral("text/plain"));
            if (!bytes || clipboard.holdsOwnWrite())
                return std::nullopt;
            ClipboardItem item;
            item.kind = ClipKind::Text;
            item.raw = *bytes;
            return item;
        };
    }

    ClipboardWatcher &makeWatcher()
    {
        watcher = std::make_unique<ClipboardWatcher>(clipboard, clock, capture);
        watcher->setOnNewItem([this](const ClipboardItem &item) { captured.append(QString::fromUtf8(item.raw.bytes())); });
        watcher->setShouldIgnore([this](qint64 cc) {
            asked.append(cc);
            return ignoreAnswer;
        });
        watcher->start();
        return *watcher;
    }

    FakeClipboard clipboard;
    FakeClock clock;
    ClipboardWatcher::Capture capture;
    std::unique_ptr<ClipboardWatcher> watcher;
    QStringList captured;
    QList<qint64> asked;
    bool ignoreAnswer = false;
    int captureRuns = 0;
    LogCapture log;
};

TEST_F(WatcherTest, start_twice_schedules_one_timer_and_logs_once)
{
    ClipboardWatcher &w = makeWatcher();
    w.start();
    EXPECT_EQ(clock.pendingCount(), 1);
    EXPECT_EQ(log.matching(QStringLiteral("ClipboardWatcher start()")),
              QStringList{QStringLiteral("ClipboardWatcher start() — started=true")});
}

TEST_F(WatcherTest, content_present_at_creation_is_never_captured)
{
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("old")));
    makeWatcher();
    clock.advance(2.0);
    EXPECT_TRUE(captured.isEmpty());
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("new")));
    clock.advance(1.0);
    EXPECT_EQ(captured, QStringList{QStringLiteral("new")});
}

TEST_F(WatcherTest, capture_runs_at_poll_plus_settle_and_logs)
{
    makeWatcher();
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("hello")));
    clock.advance(0.5); // poll sees the change
    EXPECT_TRUE(captured.isEmpty());
    EXPECT_TRUE(watcher->isCoalescing());
    clock.advance(0.19);
    EXPECT_TRUE(captured.isEmpty());
    clock.advance(0.02);
    EXPECT_EQ(captured, QStringList{QStringLiteral("hello")});
    EXPECT_FALSE(watcher->isCoalescing());
    EXPECT_TRUE(log.contains(QStringLiteral("Watcher.tick() changeCount 0 → 1")));
    EXPECT_TRUE(log.contains(QStringLiteral("Watcher: onNewItem text size=5")));
}

TEST_F(WatcherTest, copy_between_poll_and_its_capture_is_read_by_it_and_seen_again)
{
    makeWatcher();
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("a")));
    clock.advance(0.5);
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("b")));
    clock.advance(1.0);
    // The store drops the second as a repeat; the watcher reports both.
    EXPECT_EQ(captured, (QStringList{QStringLiteral("b"), QStringLiteral("b")}));
}

TEST_F(WatcherTest, two_copies_between_polls_give_one_capture_of_the_second)
{
    makeWatcher();
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("first")));
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("second")));
    clock.advance(1.0);
    EXPECT_EQ(captured, QStringList{QStringLiteral("second")});
}

TEST_F(WatcherTest, changes_at_consecutive_polls_are_both_captured)
{
    makeWatcher();
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("a")));
    clock.advance(0.5);
    clock.advance(0.3); // captured at 0.7
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("b")));
    clock.advance(0.2); // the poll at 1.0 is 0.5 s after the first: not absorbed
    clock.advance(0.5);
    EXPECT_EQ(captured, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST_F(WatcherTest, change_seen_by_a_late_poll_within_absorption_window_is_absorbed)
{
    ClipboardWatcher &w = makeWatcher();
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("a")));
    clock.advance(0.5); // accepted; capture due 0.2 s later
    const double accepted = clock.now();
    // A late timer firing 0.1 s after the accepting poll sees a further change.
    clock.setNow(accepted + 0.1);
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("b")));
    w.tick();
    EXPECT_EQ(w.lastChangeCount(), clipboard.changeCount());
    clock.advance(2.0);
    // The pending capture reads what is there then; the absorbed change adds nothing.
    EXPECT_EQ(captureRuns, 1);
    EXPECT_EQ(captured, QStringList{QStringLiteral("b")});
}

TEST_F(WatcherTest, change_while_capture_pending_is_coalesced_into_it)
{
    ClipboardWatcher &w = makeWatcher();
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("a")));
    clock.advance(0.5);
    const double accepted = clock.now();
    // The main thread was held up: the next poll runs 0.3 s later, before the
    // pending capture, and sees another change.
    clock.setNow(accepted + 0.3);
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("c")));
    w.tick();
    EXPECT_EQ(w.lastChangeCount(), clipboard.changeCount());
    EXPECT_TRUE(w.isCoalescing());
    clock.advance(2.0);
    EXPECT_EQ(captureRuns, 1);
    EXPECT_EQ(captured, QStringList{QStringLiteral("c")});
}

TEST_F(WatcherTest, own_write_asks_the_veto_and_is_never_captured)
{
    makeWatcher();
    ignoreAnswer = true;
    clipboard.write({{{QStringLiteral("text/plain"), QByteArray("mine")}}, {}});
    clock.advance(1.0);
    EXPECT_EQ(asked, QList<qint64>{clipboard.changeCount()});
    EXPECT_TRUE(captured.isEmpty());
    EXPECT_EQ(captureRuns, 0);
    EXPECT_TRUE(log.matching(QStringLiteral("Watcher: onNewItem")).isEmpty());
    EXPECT_FALSE(watcher->isCoalescing());
}

TEST_F(WatcherTest, veto_also_absorbs_a_change_within_the_window)
{
    ClipboardWatcher &w = makeWatcher();
    ignoreAnswer = true;
    clipboard.write({{{QStringLiteral("text/plain"), QByteArray("mine")}}, {}});
    clock.advance(0.5); // vetoed at t0
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("foreign")));
    clock.setNow(clock.now() + 0.2);
    w.tick();
    clock.advance(1.0);
    EXPECT_TRUE(captured.isEmpty());
}

// Regression: a pending one-shot ignore swallowed the next real copy made by
// another program. The veto is asked about our own writes only.
TEST_F(WatcherTest, foreign_copy_is_captured_even_while_an_ignore_is_pending)
{
    makeWatcher();
    ignoreAnswer = true; // as if suppressNextCapture() had been called
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("real copy")));
    clock.advance(1.0);
    EXPECT_EQ(captured, QStringList{QStringLiteral("real copy")});
    EXPECT_TRUE(asked.isEmpty()); // the flag is left for the write it was set for
}

TEST_F(WatcherTest, change_without_an_item_leaves_the_watcher_idle_and_ready)
{
    makeWatcher();
    clipboard.copyFromOtherProgram({{QStringLiteral("application/x-private"), QByteArray("?")}});
    clock.advance(1.0);
    EXPECT_EQ(captureRuns, 1);
    EXPECT_TRUE(captured.isEmpty());
    EXPECT_FALSE(watcher->isCoalescing());
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("next")));
    clock.advance(1.0);
    EXPECT_EQ(captured, QStringList{QStringLiteral("next")});
}

TEST_F(WatcherTest, unchanged_count_does_nothing)
{
    makeWatcher();
    clock.advance(5.0);
    EXPECT_EQ(captureRuns, 0);
    EXPECT_TRUE(log.matching(QStringLiteral("Watcher.tick()")).isEmpty());
}

TEST_F(WatcherTest, destroyed_watcher_runs_no_pending_capture)
{
    makeWatcher();
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("a")));
    clock.advance(0.5);
    watcher.reset();
    clock.advance(1.0);
    EXPECT_EQ(captureRuns, 0);
}

TEST_F(WatcherTest, owner_quitting_hands_back_the_captured_clip)
{
    makeWatcher();
    QList<QByteArray> handedBack;
    watcher->setOnOwnerGone([&](const ClipboardItem &item) { handedBack.append(item.raw.bytes()); });
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("keep me")));
    clock.advance(1.0);
    clipboard.ownerQuits();
    clock.advance(0.5);
    EXPECT_EQ(handedBack, QList<QByteArray>{QByteArray("keep me")});
    EXPECT_EQ(captured.size(), 1);
}

TEST_F(WatcherTest, owner_quitting_after_an_uncaptured_change_hands_back_nothing)
{
    makeWatcher();
    int handedBack = 0;
    watcher->setOnOwnerGone([&](const ClipboardItem &) { ++handedBack; });
    clipboard.copyFromOtherProgram(textEntries(QStringLiteral("a")));
    clock.advance(1.0);
    clipboard.copyFromOtherProgram({{QStringLiteral("application/x-private"), QByteArray("?")}});
    clock.advance(1.0);
    clipboard.ownerQuits();
    clock.advance(1.0);
    EXPECT_EQ(handedBack, 0);
}

} // namespace
