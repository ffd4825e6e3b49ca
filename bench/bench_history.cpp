// The history's cost at four sizes (1,000 text clips; 10,000; 10,000 plus
// 50 images of 2 MiB; 1,000 plus 20 images of 25 MB): one insert with the
// main thread's longest stall and the time until the change is on disk, the
// start-up load in a fresh process, visibleItems with a search query and the
// memory of the load, each beside plain file I/O of the same number of bytes.
// Ends with one summary line per figure.
//
// The program re-runs itself with --child-load DIR / --child-plain-read FILE
// to time loads in fresh processes; --prepare DIR N writes the history of
// size N (0, 1, 2) to DIR for a look by hand.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "model/historycodec.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakesoundplayer.h"
#include "platform/logger.h"
#include "platform/userdefaults.h"
#include "store/clipboardstore.h"
#include "store/historyfiles.h"

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// The peak resident size of this process image. ru_maxrss is not used:
// Linux carries it over from the parent through vfork() and exec, so a child
// would report the benchmark's own peak.
long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const qsizetype keyLength = qsizetype(std::strlen(key));
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(keyLength).trimmed().split(' ').first().toLong();
    }
    return 0;
}

long peakRssKb()
{
    return statusKb("VmHWM:");
}

// What the process holds now, libraries included.
long rssKb()
{
    return statusKb("VmRSS:");
}

struct CpuAndFaults {
    double cpuMs;
    long faults;
};

CpuAndFaults cpuAndFaults()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return {(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3,
            ru.ru_minflt + ru.ru_majflt};
}

// ------------------------------------------------------------------ data

const char *const kWords[] = {"fenêtre", "projet", "réunion", "budget", "lorem", "ipsum", "client", "serveur",
                              "mot", "passe", "adresse", "courriel", "rapport", "tableau", "clé", "code",
                              "fonction", "variable", "import", "return", "demain", "lundi", "équipe", "facture",
                              "https://exemple.fr/page", "merci", "bonjour", "photo", "dossier", "note"};
constexpr const char *kQuery = "réunion";

ClipboardItem makeText(std::mt19937 &rng, double createdAt)
{
    std::uniform_int_distribution<int> words(8, 60);
    std::uniform_int_distribution<int> pick(0, int(std::size(kWords)) - 1);
    QString text;
    for (int n = words(rng); n > 0; --n) {
        text += QString::fromUtf8(kWords[pick(rng)]);
        text += QLatin1Char(' ');
    }
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.kind = ClipKind::Text;
    item.preview = text.left(200);
    item.dataUTI = QStringLiteral("public.utf8-plain-text");
    item.raw = text.toUtf8();
    item.createdAt = createdAt;
    item.sourceBundleID = QStringLiteral("org.kde.konsole");
    item.textCharCount = text.size();
    return item;
}

// Incompressible bytes: to the store an image is its size.
ClipboardItem makeImage(std::mt19937 &rng, double createdAt, qsizetype bytes)
{
    ClipboardItem item;
    item.id = QUuid::createUuid();
    item.kind = ClipKind::Image;
    item.preview = QStringLiteral("Image 1920×1080");
    item.dataUTI = QStringLiteral("public.tiff");
    QByteArray raw(bytes, Qt::Uninitialized);
    auto *words = reinterpret_cast<quint32 *>(raw.data());
    for (qsizetype i = 0; i < raw.size() / 4; ++i)
        words[i] = rng();
    item.raw = raw;
    item.createdAt = createdAt;
    item.sourceBundleID = QStringLiteral("org.gimp.GIMP");
    return item;
}

struct Config {
    const char *name;
    int texts;
    int images;
    qsizetype imageBytes;
    double insertGoal; // until on disk, × plain write
    double loadGoalMs; // 0: none
    double loadGoalRatio; // × plain read
    double visibleGoalMs; // 0: none
    double memoryGoalRatio; // peak while loading, × file size; 0: none
    double residentGoalMiB; // after loading; 0: none
    int writeIterations;
    int loadIterations;
};

// The main thread may not stall longer than one frame.
constexpr double kStallGoalMs = 16;

const Config kConfigs[] = {
    {"1k text", 1000, 0, 0, 3.0, 10, 2.0, 0, 0, 0, 40, 7},
    {"10k text", 10000, 0, 0, 3.0, 50, 2.0, 2, 0, 0, 30, 7},
    {"10k text + 50 images", 10000, 50, 2 << 20, 1.5, 0, 2.0, 2, 2.0, 0, 10, 7},
    {"1k text + 20 images of 25 MB", 1000, 20, 25'000'000, 1.5, 0, 2.0, 2, 0, 150, 3, 3},
};

struct Samples {
    std::vector<double> values;
    double max() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
    double median() const
    {
        if (values.empty())
            return 0;
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
};

struct Figures {
    Samples loadCpu, plainReadCpu, stall, onDiskFirst, onDisk, writeFirst, write, plainWrite, load, plainRead, visible, peakKb, rssKb;
    qint64 fileBytes = 0;
};

std::map<std::string, Figures> g_figures;

struct Prepared {
    std::unique_ptr<QTemporaryDir> dir;
    qint64 fileBytes = 0;
};

std::map<std::string, Prepared> g_prepared;

const Prepared &prepare(const Config &c)
{
    Prepared &p = g_prepared[c.name];
    if (p.dir)
        return p;
    p.dir = std::make_unique<QTemporaryDir>();
    std::mt19937 rng(1234);
    QList<ClipboardItem> items;
    double t = 700000000;
    for (int i = 0; i < c.texts; ++i)
        items.append(makeText(rng, t += 10));
    for (int i = 0; i < c.images; ++i)
        items.insert(qsizetype(rng() % quint32(items.size() + 1)), makeImage(rng, t += 10, c.imageBytes));
    std::reverse(items.begin(), items.end());
    HistoryFiles files(p.dir->path() + QStringLiteral("/Bramblet"));
    files.write(items, {ClipboardFolder{QUuid::createUuid(), QStringLiteral("Projets"), t}});
    p.fileBytes = QFileInfo(files.itemsPath()).size();
    g_figures[c.name].fileBytes = p.fileBytes;
    return p;
}

QString historyDir(const Prepared &p)
{
    return p.dir->path() + QStringLiteral("/Bramblet");
}

// ------------------------------------------------------------------ children

QByteArray runChild(const QList<QByteArray> &args)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    QList<QByteArray> all{QByteArray("/proc/self/exe")};
    all += args;
    std::vector<char *> argv;
    for (QByteArray &a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    QByteArray out;
    if (rc == 0) {
        char buf[4096];
        ssize_t n;
        while ((n = read(pipeFds[0], buf, sizeof buf)) > 0)
            out.append(buf, n);
        int status = 0;
        waitpid(pid, &status, 0);
    }
    close(pipeFds[0]);
    return out;
}

double field(const QByteArray &out, const char *name)
{
    for (const QByteArray &part : out.trimmed().split(' ')) {
        if (part.startsWith(QByteArray(name) + '='))
            return part.mid(qsizetype(strlen(name)) + 1).toDouble();
    }
    return -1;
}

// Times the file reading part of the store's construction.
class TimedHistoryFiles final : public HistoryFiles
{
public:
    using HistoryFiles::HistoryFiles;
    ~TimedHistoryFiles() override { waitForPendingWrite(); }
    Loaded load() override
    {
        const auto t0 = Clock::now();
        Loaded loaded = HistoryFiles::load();
        loadMs = msSince(t0);
        return loaded;
    }
    void write(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders) override
    {
        const auto t0 = Clock::now();
        HistoryFiles::write(items, folders);
        writeMs = msSince(t0);
    }
    double loadMs = 0;
    double writeMs = 0; // read only after waitForPendingWrite()
};

int childLoad(const char *dir)
{
    Log::setSink([](Log::Level, const QString &) {});
    const long before = peakRssKb();
    const CpuAndFaults c0 = cpuAndFaults();
    const auto t0 = Clock::now();
    TimedHistoryFiles files{QString::fromLocal8Bit(dir)};
    FakeClock clock;
    FakeSoundPlayer sound;
    UserDefaults defaults(QString::fromLocal8Bit(dir) + QStringLiteral("/../defaults.conf"));
    ClipboardStore store(files, clock, defaults, sound);
    const double ms = msSince(t0);
    const CpuAndFaults c1 = cpuAndFaults();
    const long after = peakRssKb();
    std::printf("load_ms=%.4f peak_kb=%ld rss_kb=%ld items=%lld cpu_ms=%.3f faults=%ld files_ms=%.4f\n", ms,
                after - before, rssKb(), (long long)store.items().size(), c1.cpuMs - c0.cpuMs, c1.faults - c0.faults,
                files.loadMs);
    return 0;
}

// The fastest plain read: every chunk into the same buffer, so no time goes
// to faulting in fresh memory; the loader cannot beat it.
int childPlainRead(const char *path)
{
    constexpr std::size_t kChunk = 256 * 1024;
    const long before = peakRssKb();
    char *buffer = static_cast<char *>(malloc(kChunk));
    std::memset(buffer, 0, kChunk);
    const CpuAndFaults c0 = cpuAndFaults();
    const auto t0 = Clock::now();
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    std::size_t done = 0;
    for (;;) {
        const ssize_t n = read(fd, buffer, kChunk);
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    close(fd);
    const double ms = msSince(t0);
    benchmark::DoNotOptimize(buffer[done % kChunk]);
    const CpuAndFaults c1 = cpuAndFaults();
    std::printf("read_ms=%.4f peak_kb=%ld bytes=%zu cpu_ms=%.3f faults=%ld\n", ms, peakRssKb() - before, done,
                c1.cpuMs - c0.cpuMs, c1.faults - c0.faults);
    free(buffer);
    return 0;
}

// ------------------------------------------------------------------ benchmarks

struct StoreRig {
    explicit StoreRig(const QString &dir)
        : files(dir), defaults(dir + QStringLiteral("/../defaults.conf")), store(files, clock, defaults, sound)
    {
    }
    TimedHistoryFiles files;
    FakeClock clock;
    FakeSoundPlayer sound;
    UserDefaults defaults;
    ClipboardStore store;
};

double plainWrite(const QByteArray &path, qint64 bytes)
{
    static QByteArray data;
    if (data.size() < bytes)
        data = QByteArray(bytes, 'x');
    const auto t0 = Clock::now();
    const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    for (qint64 done = 0; done < bytes;) {
        const ssize_t n = write(fd, data.constData() + done, std::size_t(bytes - done));
        if (n <= 0)
            break;
        done += n;
    }
    fsync(fd);
    close(fd);
    return msSince(t0);
}

// Each insert is followed by a plain write of the same number of bytes, so
// both see the same disk: fsync latency here wanders between runs. The stall
// is the time the main thread spends in the insert, which includes copying
// the list of clips that the previous save still shares with the writer.
void benchInsert(benchmark::State &state, const Config *c)
{
    const Prepared &p = prepare(*c);
    // A copy of the prepared history, so the other figures see it unchanged.
    QTemporaryDir work;
    const QString dir = work.path() + QStringLiteral("/Bramblet");
    QDir().mkpath(dir);
    QFile::copy(historyDir(p) + QStringLiteral("/items.json"), dir + QStringLiteral("/items.json"));
    QFile::copy(historyDir(p) + QStringLiteral("/folders.json"), dir + QStringLiteral("/folders.json"));
    StoreRig rig(dir);
    std::mt19937 rng(99);
    Figures &f = g_figures[c->name];
    f.fileBytes = p.fileBytes;
    bool first = f.onDiskFirst.values.empty();
    const QByteArray plainPath = QFile::encodeName(work.path() + QStringLiteral("/plain.bin"));
    for (auto _ : state) {
        const ClipboardItem clip = makeText(rng, 800000000 + double(rng()));
        rig.clock.advance(1);
        const auto t0 = Clock::now();
        rig.store.insert(clip);
        const double insertMs = msSince(t0);
        rig.store.waitForPendingWrite();
        const double ms = msSince(t0);
        state.SetIterationTime(ms / 1000);
        f.stall.values.push_back(insertMs);
        (first ? f.onDiskFirst : f.onDisk).values.push_back(ms);
        (first ? f.writeFirst : f.write).values.push_back(rig.files.writeMs);
        first = false;
        f.plainWrite.values.push_back(plainWrite(plainPath, QFileInfo(rig.files.itemsPath()).size()));
    }
    unlink(plainPath.constData());
    state.counters["plain_write_ms"] = f.plainWrite.median();
}

void benchLoad(benchmark::State &state, const Config *c)
{
    const Prepared &p = prepare(*c);
    Figures &f = g_figures[c->name];
    for (auto _ : state) {
        const QByteArray out = runChild({"--child-load", QFile::encodeName(historyDir(p))});
        const double ms = field(out, "load_ms");
        if (ms < 0 || field(out, "items") != c->texts + c->images) {
            state.SkipWithError("child load failed");
            return;
        }
        state.SetIterationTime(ms / 1000);
        f.load.values.push_back(ms);
        f.peakKb.values.push_back(field(out, "peak_kb"));
        f.rssKb.values.push_back(field(out, "rss_kb"));
        f.loadCpu.values.push_back(field(out, "cpu_ms"));
        // The plain read right after, under the same conditions.
        const QByteArray plain =
            runChild({"--child-plain-read", QFile::encodeName(historyDir(p) + QStringLiteral("/items.json"))});
        f.plainRead.values.push_back(field(plain, "read_ms"));
        f.plainReadCpu.values.push_back(field(plain, "cpu_ms"));
    }
    state.counters["plain_read_ms"] = f.plainRead.median();
}

void benchVisible(benchmark::State &state, const Config *c)
{
    const Prepared &p = prepare(*c);
    StoreRig rig(historyDir(p));
    rig.store.setSearchQuery(QString::fromUtf8(kQuery));
    Figures &f = g_figures[c->name];
    qsizetype shown = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const QList<ClipboardItem> visible = rig.store.visibleItems();
        const double ms = msSince(t0);
        shown = visible.size();
        state.SetIterationTime(ms / 1000);
        f.visible.values.push_back(ms);
    }
    state.counters["shown"] = double(shown);
}

// ------------------------------------------------------------------ summary

void line(const std::string &name, double measured, const char *unit, const std::string &plainName,
          double plain, const std::string &goal, double goalLimit, bool byRatio)
{
    if (measured <= 0)
        return; // not run this time
    const double ratio = plain > 0 ? measured / plain : 0;
    const bool met = byRatio ? ratio <= goalLimit : measured <= goalLimit;
    const std::string plainText = plain > 0 ? QString::asprintf("%.2f %s", plain, unit).toStdString() : "-";
    const std::string ratioText = plain > 0 ? QString::asprintf("%.2f", ratio).toStdString() : "-";
    std::printf("%-44s measured %9.2f %s | %-10s %12s | ratio %5s | goal %-24s | met %s\n", name.c_str(),
                measured, unit, plainName.c_str(), plainText.c_str(), ratioText.c_str(), goal.c_str(),
                goal == "-" ? "-" : (met ? "yes" : "no"));
}

void printSummary()
{
    std::printf("\nSummary (medians; plain I/O = the same number of bytes with write+fsync / read)\n");
    for (const Config &c : kConfigs) {
        const auto it = g_figures.find(c.name);
        if (it == g_figures.end())
            continue;
        const Figures &f = it->second;
        const std::string n = std::string(" (") + c.name + ", " +
            QString::number(double(f.fileBytes) / 1e6, 'f', 1).toStdString() + " MB)";
        const std::string insertGoal = QString::asprintf("<= %.1fx plain write", c.insertGoal).toStdString();
        line("insert, longest main-thread stall" + n, f.stall.max(), "ms", "-", 0,
             QString::asprintf("<= %.0f ms", kStallGoalMs).toStdString(), kStallGoalMs, false);
        if (!f.stall.values.empty())
            std::printf("%-44s median stall: %.2f ms\n", "", f.stall.median());
        line("insert until on disk" + n, f.onDisk.median(), "ms", "plain write", f.plainWrite.median(), insertGoal,
             c.insertGoal, true);
        if (!f.write.values.empty())
            std::printf("%-44s of which the write: %.2f ms; first after start: %.2f ms\n", "", f.write.median(),
                        f.writeFirst.median());
        line("first insert until on disk after start" + n, f.onDiskFirst.median(), "ms", "plain write",
             f.plainWrite.median(), insertGoal, c.insertGoal, true);
        line("load, fresh process" + n, f.load.median(), "ms", "plain read", f.plainRead.median(),
             QString::asprintf("<= %.1fx plain read", c.loadGoalRatio).toStdString(), c.loadGoalRatio, true);
        if (!f.load.values.empty())
            std::printf("%-44s on the CPU (a shared machine waits for it): load %.2f ms, plain read %.2f ms\n", "",
                        f.loadCpu.median(), f.plainReadCpu.median());
        if (c.loadGoalMs > 0)
            line("load, fresh process" + n, f.load.median(), "ms", "plain read", f.plainRead.median(),
                 QString::asprintf("<= %.0f ms", c.loadGoalMs).toStdString(), c.loadGoalMs, false);
        line("visibleItems with query" + n, f.visible.median(), "ms", "-", 0,
             c.visibleGoalMs > 0 ? QString::asprintf("<= %.0f ms", c.visibleGoalMs).toStdString() : "-",
             c.visibleGoalMs, false);
        line("peak memory while loading" + n, f.peakKb.median() / 1024.0, "MB", "file size",
             double(f.fileBytes) / (1024.0 * 1024.0),
             c.memoryGoalRatio > 0 ? QString::asprintf("<= %.1fx file size", c.memoryGoalRatio).toStdString()
                                   : "-",
             c.memoryGoalRatio, true);
        line("resident memory after loading" + n, f.rssKb.median() / 1024.0, "MiB", "file size",
             double(f.fileBytes) / (1024.0 * 1024.0),
             c.residentGoalMiB > 0 ? QString::asprintf("<= %.0f MiB", c.residentGoalMiB).toStdString() : "-",
             c.residentGoalMiB, false);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--child-load") == 0)
        return childLoad(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--child-plain-read") == 0)
        return childPlainRead(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "--prepare") == 0) { // for looking at one size by hand
        const Config &c = kConfigs[std::clamp(std::atoi(argv[3]), 0, int(std::size(kConfigs)) - 1)];
        const Prepared &p = prepare(c);
        const QString to = QString::fromLocal8Bit(argv[2]);
        QDir().mkpath(to);
        QFile::copy(historyDir(p) + QStringLiteral("/items.json"), to + QStringLiteral("/items.json"));
        QFile::copy(historyDir(p) + QStringLiteral("/folders.json"), to + QStringLiteral("/folders.json"));
        return 0;
    }

    Log::setSink([](Log::Level level, const QString &line) {
        if (level == Log::Level::Error)
            std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    });
    for (const Config &c : kConfigs) {
        const std::string n = c.name;
        benchmark::RegisterBenchmark(("insert+write/" + n).c_str(), benchInsert, &c)
            ->UseManualTime()->Iterations(c.writeIterations)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("load in fresh process/" + n).c_str(), benchLoad, &c)
            ->UseManualTime()->Iterations(c.loadIterations)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("visibleItems with query/" + n).c_str(), benchVisible, &c)
            ->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    return 0;
}
