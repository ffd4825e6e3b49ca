// The background writer of the history: the newest state winning, nothing
// left unwritten at quit, nothing written after; and with the store and the
// files above it, no written change lost whenever the program is killed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>


#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/fake/fakeclock.h"
#include "platform/fake/fakesoundplayer.h"
#include "platform/userdefaults.h"
#include "store/clipboardstore.h"
#include "store/historyfiles.h"
#include "store/historywriter.h"
#include "support/clipsamples.h"
#include "support/logcapture.h"
#include "support/tempenv.h"

namespace {

using namespace std::chrono_literals;

// A state is told apart by how many clips it holds.
QList<ClipboardItem> stateOf(int n) { return QList<ClipboardItem>(n, ClipSamples::text(QStringLiteral("x"))); }

// Holds writes back until opened; says when a write is waiting at it. The
// bounded wait only keeps a broken build from hanging the suite.
class Gate
{
public:
    void pass()
    {
        std::unique_lock lock(m_mutex);
        ++m_arrived;
        m_changed.notify_all();
        m_changed.wait_for(lock, 20s, [this] { return m_open; });
    }
    void open()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    bool waitForArrivals(int n)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 20s, [&] { return m_arrived >= n; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_arrived = 0;
    bool m_open = false;
};

// What the write function saw, in order; each write waits at `gate` first.
struct Recorder {
    std::mutex mutex;
    std::vector<int> written; // sizes of the states written
    std::atomic<int> inside{0};
    std::atomic<Gate *> gate{nullptr};

    HistoryWriter::WriteFunction function()
    {
        return [this](const QList<ClipboardItem> &items, const QList<ClipboardFolder> &) {
            ++inside;
            gate.load()->pass();
            {
                std::lock_guard lock(mutex);
                written.push_back(int(items.size()));
            }
            --inside;
        };
    }
    std::vector<int> snapshot()
    {
        std::lock_guard lock(mutex);
        return written;
    }
};

// Quitting waits this way: it must not return before the state handed in is
// on disk (and returns at once when nothing was), and the destructor writes
// the pending state first and nothing after.
TEST(HistoryWriter, the_newest_state_wins_and_waiting_and_quitting_cover_the_last_one)
{
    Recorder recorder;
    Gate first, second;
    recorder.gate = &first;
    std::thread opener;
    {
        HistoryWriter writer(recorder.function());
        writer.waitForPendingWrite();
        writer.save(stateOf(1), {});
        ASSERT_TRUE(first.waitForArrivals(1)); // the write is in progress
        opener = std::thread([&] { first.open(); });
        writer.waitForPendingWrite();
        EXPECT_EQ(recorder.snapshot(), std::vector<int>{1}) << "returned while the write was still running";
        opener.join();

        recorder.gate = &second;
        writer.save(stateOf(2), {});
        ASSERT_TRUE(second.waitForArrivals(1));
        for (int n = 3; n <= 300; ++n)
            writer.save(stateOf(n), {}); // the write of 2 is still at the gate
        opener = std::thread([&] { second.open(); });
    } // quitting with a write in progress and one pending
    EXPECT_EQ(recorder.snapshot(), (std::vector<int>{1, 2, 300}));
    EXPECT_EQ(recorder.inside, 0) << "a write was still running after the destructor returned";
    opener.join();
}

// ------------------------------------------------------------------ killed at random moments

// Reports on a pipe the number of the newest clip each finished write held.
class ReportingHistoryFiles final : public HistoryFiles
{
public:
    explicit ReportingHistoryFiles(int fd) : m_fd(fd) {}
    ~ReportingHistoryFiles() override { waitForPendingWrite(); }
    void write(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders) override
    {
        HistoryFiles::write(items, folders);
        const int newest = items.isEmpty() ? 0 : items[0].preview.toInt();
        [[maybe_unused]] const ssize_t n = ::write(m_fd, &newest, sizeof newest);
    }

private:
    int m_fd;
};

// The killed program: carries on from the history it finds, numbering its
// clips 1, 2, 3...; every fifth clip is large so that writes take a while.
[[noreturn]] void copyUntilKilled(int fd, const QString &configHome)
{
    ReportingHistoryFiles files(fd);
    FakeClock clock;
    FakeSoundPlayer sound;
    UserDefaults defaults(configHome + QStringLiteral("/defaults.conf"));
    ClipboardStore store(files, clock, defaults, sound);
    int next = store.items().isEmpty() ? 1 : store.items()[0].preview.toInt() + 1;
    for (;;) {
        // A few copies in a burst, then the writer catches up: the history
        // grows steadily while a write is nearly always in progress.
        for (int i = 0; i < 3; ++i, ++next) {
            ClipboardItem clip = ClipSamples::text(QString::number(next), next);
            if (next % 5 == 0)
                clip.raw = QByteArray(256 * 1024, char('a' + next % 26));
            clock.advance(1);
            store.insert(clip);
        }
        store.waitForPendingWrite();
    }
}

TEST(HistorySave, killed_twelve_times_at_random_moments_no_written_change_is_lost)
{
    TempEnv env;
    LogCapture log;
    std::mt19937 rng(20261206);
    int previousNewest = 0;
    for (int round = 1; round <= 12; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            copyUntilKilled(fds[1], env.configHome());
        }
        ::close(fds[1]);
        // Kill it right after one of its first writes, while the next one runs.
        const int writesBeforeKill = std::uniform_int_distribution<int>(1, 12)(rng);
        int acknowledged = 0;
        int newest = 0;
        for (int seen = 0; seen < writesBeforeKill && ::read(fds[0], &newest, sizeof newest) == sizeof newest; ++seen)
            acknowledged = newest;
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        while (::read(fds[0], &newest, sizeof newest) == sizeof newest) // written just before the kill
            acknowledged = std::max(acknowledged, newest);
        ::close(fds[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round;

        log.clear();
        const QList<ClipboardItem> loaded = HistoryFiles().load().items;
        ASSERT_TRUE(log.lines(Log::Level::Error).isEmpty())
            << "round " << round << ": " << log.lines(Log::Level::Error).join(u'\n').toStdString();
        ASSERT_FALSE(loaded.isEmpty()) << "round " << round;
        const int onDisk = loaded[0].preview.toInt();
        EXPECT_GE(onDisk, acknowledged) << "round " << round << ": a written change was lost";
        EXPECT_GT(onDisk, previousNewest) << "round " << round << ": nothing was written before the kill";
        ASSERT_EQ(loaded.size(), onDisk) << "round " << round << ": clips missing in the middle";
        for (int i = 0; i < loaded.size(); ++i) {
            ASSERT_EQ(loaded[i].preview.toInt(), onDisk - i) << "round " << round;
            if ((onDisk - i) % 5 == 0)
                ASSERT_EQ(loaded[i].raw.size(), 256 * 1024) << "round " << round;
        }
        previousNewest = onDisk;
    }
}

} // namespace
