#include "historyfiles.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <fcntl.h>
#include <limits.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "historywriter.h"
#include "model/base64.h"
#include "model/historycodec.h"
#include "model/jsonarraystream.h"
#include "model/uuidtext.h"
#include "platform/logger.h"

namespace {

const QString kItemsName = QStringLiteral("items.json");
const QString kFoldersName = QStringLiteral("folders.json");

// Records up to this many content bytes keep their encoded form between
// writes; larger ones (images) are encoded again at each write, which the
// vector Base64 does at several GB/s, instead of holding a second copy of
// them in memory for the life of the program.
constexpr qsizetype kCachedRecordLimit = 64 * 1024;

// Small reads into one reused buffer: the file is never held whole, and the
// buffer grows only to fit the largest record.
constexpr qsizetype kReadChunk = 64 * 1024;

// Past this many bytes a string in a record is read past rather than kept:
// a large content is left in the file anyway, and reading it through a small
// buffer keeps the load at the speed of a plain read. Above the size from
// which a content is left in the file, so every such string is one.
constexpr qsizetype kLeaveOutFrom = 384 * 1024;
static_assert(kLeaveOutFrom > Payload::kLargeFrom * 4 / 3 + 4);

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray encodedPath(const QString &path)
{
    return QFile::encodeName(path);
}

// What a file on disk was when we last wrote it, to notice a file removed
// or replaced behind our back.
struct FileStamp {
    bool valid = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};

    static FileStamp of(const struct stat &st)
    {
        FileStamp s;
        s.valid = true;
        s.dev = st.st_dev;
        s.ino = st.st_ino;
        s.size = st.st_size;
        s.mtime = st.st_mtim;
        return s;
    }

    bool matchesFile(const QString &path) const
    {
        struct stat st;
        if (!valid || ::stat(encodedPath(path).constData(), &st) != 0)
            return false;
        return st.st_dev == dev && st.st_ino == ino && st.st_size == size && st.st_mtim.tv_sec == mtime.tv_sec
            && st.st_mtim.tv_nsec == mtime.tv_nsec;
    }
};

bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    return a.constData() == b.constData() || std::memcmp(a.constData(), b.constData(), std::size_t(a.size())) == 0;
}

// Large payloads are the same when they are copies of one value: their
// bytes may not be in memory to compare.
bool samePayload(const Payload &a, const Payload &b)
{
    if (a.isLarge() || b.isLarge())
        return a.sharesWith(b);
    return sameBytes(a.heldBytes().value_or(QByteArray()), b.heldBytes().value_or(QByteArray()));
}

bool sameBytes(const std::optional<QByteArray> &a, const std::optional<QByteArray> &b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || sameBytes(*a, *b);
}

// Field-by-field equality, cheapest fields first; the large byte fields are
// usually shared with the cached copy, so their data pointers decide.
bool sameRecord(const ClipboardItem &a, const ClipboardItem &b)
{
    return a.id == b.id && a.kind == b.kind && a.pinned == b.pinned && a.createdAt == b.createdAt
        && a.folderId == b.folderId && a.textCharCount == b.textCharCount && samePayload(a.raw, b.raw)
        && sameBytes(a.thumbnailPNG, b.thumbnailPNG) && a.preview == b.preview && a.dataUTI == b.dataUTI
        && a.sourceBundleID == b.sourceBundleID && a.fileURLString == b.fileURLString
        && a.fileName == b.fileName && a.fileExt == b.fileExt;
}

bool isLarge(const ClipboardItem &item)
{
    return item.raw.isLarge() || item.raw.size() + (item.thumbnailPNG ? item.thumbnailPNG->size() : 0) > kCachedRecordLimit;
}

// True when the file still holds all of a stored content's text (another
// program may have cut it short); its characters are not checked here.
bool runIsWhole(const PayloadLocation &at, QString *why)
{
    struct stat st;
    if (::fstat(at.file->fd(), &st) != 0) {
        *why = errorText(errno);
        return false;
    }
    if (st.st_size < at.offset + at.length) {
        *why = QStringLiteral("the file ends before it");
        return false;
    }
    return true;
}

// Writes all `n` bytes; 0, or the errno of the failure.
int writeAll(int fd, const char *data, std::size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0)
            return errno;
        data += w;
        n -= std::size_t(w);
    }
    return 0;
}

// Gathers pieces into writev() batches; the pieces it holds stay alive
// until written.
class GatherWriter
{
public:
    explicit GatherWriter(int fd) : m_fd(fd) {}

    bool add(const QByteArray &piece)
    {
        if (piece.isEmpty())
            return true;
        m_position += piece.size();
        m_held.append(piece);
        m_iov.push_back({const_cast<char *>(piece.constData()), std::size_t(piece.size())});
        return m_iov.size() < std::size_t(IOV_MAX) || flush();
    }

    bool addLiteral(const char *text, std::size_t n)
    {
        m_position += qint64(n);
        m_iov.push_back({const_cast<char *>(text), n});
        return m_iov.size() < std::size_t(IOV_MAX) || flush();
    }

    bool flush()
    {
        std::size_t first = 0;
        while (first < m_iov.size()) {
            const int count = int(std::min<std::size_t>(m_iov.size() - first, IOV_MAX));
            const ssize_t n = ::writev(m_fd, m_iov.data() + first, count);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                m_error = errno;
                return false;
            }
            std::size_t left = std::size_t(n);
            while (first < m_iov.size() && left >= m_iov[first].iov_len) {
                left -= m_iov[first].iov_len;
                ++first;
            }
            if (left > 0) { // a short write inside one piece
                m_iov[first].iov_base = static_cast<char *>(m_iov[first].iov_base) + left;
                m_iov[first].iov_len -= left;
            }
        }
        m_iov.clear();
        m_held.clear();
        return true;
    }

    // Copies `length` bytes at `offset` of `from` to the file, in the
    // kernel where it can.
    bool copyFrom(int from, qint64 offset, qint64 length)
    {
        if (!flush())
            return false;
        m_position += length;
        loff_t in = offset;
        while (length > 0) {
            const ssize_t n = ::copy_file_range(from, &in, m_fd, nullptr, std::size_t(length), 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
                return copyByReading(from, in, length);
            if (n <= 0) { // 0: the source ends early
                m_error = n < 0 ? errno : EIO;
                return false;
            }
            length -= n;
        }
        return true;
    }

    // Where the next byte handed in lands in the file.
    qint64 position() const { return m_position; }
    int error() const { return m_error; }

private:
    bool copyByReading(int from, qint64 offset, qint64 length)
    {
        std::vector<char> buffer(std::size_t(std::min<qint64>(length, 1 << 20)));
        while (length > 0) {
            const ssize_t n = ::pread(from, buffer.data(), std::size_t(std::min<qint64>(length, qint64(buffer.size()))),
                                      off_t(offset));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_error = n < 0 ? errno : EIO;
                return false;
            }
            if (const int error = writeAll(m_fd, buffer.data(), std::size_t(n))) {
                m_error = error;
                return false;
            }
            offset += n;
            length -= n;
        }
        return true;
    }

    int m_fd;
    qint64 m_position = 0;
    std::vector<iovec> m_iov;
    QList<QByteArray> m_held;
    int m_error = 0;
};

// Writes `path` through a temporary file in the same folder: create (0600),
// fill, fsync, rename over the old file. The folder itself is synced by the
// caller once both files are in place. Returns an empty string on success,
// otherwise the reason, with the old file untouched.
// With `reopened`, the written file stays open for reading through it.
template<typename Fill>
QString replaceFile(const QString &path, Fill fill, FileStamp *stamp,
                    std::shared_ptr<PayloadFile> *reopened = nullptr)
{
    const QByteArray target = encodedPath(path);
    const QByteArray temp = target + ".tmp";
    ::unlink(temp.constData()); // a leftover from a crash, or something planted there
    const int fd = ::open(temp.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return errorText(errno);
    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temp.constData());
        return errorText(error);
    };
    ::fchmod(fd, 0600); // the umask may have taken more, never less
    GatherWriter out(fd);
    if (!fill(out) || !out.flush())
        return abandon(out.error() ? out.error() : EIO);
    if (::fsync(fd) != 0)
        return abandon(errno);
    struct stat st;
    const bool haveStat = ::fstat(fd, &st) == 0;
    if (!reopened && ::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return errorText(error);
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int error = errno;
        if (reopened)
            ::close(fd);
        ::unlink(temp.constData());
        return errorText(error);
    }
    if (reopened)
        *reopened = std::make_shared<PayloadFile>(fd, path);
    *stamp = haveStat ? FileStamp::of(st) : FileStamp{};
    return {};
}

QString utcStamp()
{
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

bool copyFile(const QByteArray &from, const QByteArray &to, int *error)
{
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        *error = errno;
        return false;
    }
    const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        *error = errno;
        ::close(in);
        return false;
    }
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0)
            break;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            *error = errno;
            break;
        }
        if (const int failure = writeAll(out, buffer.data(), std::size_t(n))) {
            ok = false;
            *error = failure;
            break;
        }
    }
    if (ok && ::fsync(out) != 0) {
        ok = false;
        *error = errno;
    }
    ::close(out);
    ::close(in);
    if (!ok)
        ::unlink(to.constData());
    return ok;
}

// Keeps the bytes of a damaged file under a new name beside it, by a hard
// link when the file system allows (no copy, whatever the size). Returns the
// new file name, or an empty string with the reason in `*why`.
QString keepAside(const QString &directory, const QString &name, QString *why)
{
    const QByteArray source = encodedPath(directory + QLatin1Char('/') + name);
    // Starting again before any change finds the same damaged file: its
    // earlier link is the copy already.
    struct stat sourceStat;
    if (::stat(source.constData(), &sourceStat) == 0) {
        const QStringList earlier = QDir(directory).entryList({name + QStringLiteral(".unreadable-*")}, QDir::Files);
        for (const QString &candidate : earlier) {
            struct stat st;
            if (::stat(encodedPath(directory + QLatin1Char('/') + candidate).constData(), &st) == 0
                && st.st_dev == sourceStat.st_dev && st.st_ino == sourceStat.st_ino)
                return candidate;
        }
    }
    const QString base = name + QStringLiteral(".unreadable-") + utcStamp();
    int linkError = 0;
    for (int attempt = 1; attempt < 100; ++attempt) {
        const QString candidate = attempt == 1 ? base : base + QStringLiteral("-%1").arg(attempt);
        const QByteArray target = encodedPath(directory + QLatin1Char('/') + candidate);
        if (::link(source.constData(), target.constData()) == 0)
            return candidate;
        if (errno == EEXIST)
            continue;
        linkError = errno;
        int copyError = 0;
        if (copyFile(source, target, &copyError))
            return candidate;
        if (copyError == EEXIST)
            continue;
        *why = errorText(copyError ? copyError : linkError);
        return {};
    }
    *why = QStringLiteral("no free name");
    return {};
}

} // namespace

struct HistoryFiles::State {
    struct Entry {
        ClipboardItem item;
        QByteArray json; // empty for large records
        quint64 generation = 0;
    };
    QHash<QUuid, Entry> entries;
    quint64 generation = 0;
    QList<QUuid> lastOrder; // ids of the items file last written
    FileStamp itemsStamp;
    FileStamp foldersStamp;
    QByteArray lastFolders;
    QByteArray scratch; // reused for large records
    bool itemsProtected = false;
    bool foldersProtected = false;
    bool failing = false;
};

HistoryFiles::HistoryFiles(const QString &directory) : m_state(std::make_unique<State>())
{
    if (directory.isEmpty()) {
        QString base = qEnvironmentVariable("XDG_DATA_HOME");
        if (base.isEmpty() || !QDir::isAbsolutePath(base))
            base = QDir::homePath() + QStringLiteral("/.local/share");
        m_directory = QDir::cleanPath(base + QStringLiteral("/Bramblet"));
    } else {
        m_directory = QDir::cleanPath(directory);
    }
    prepareDirectory(false);
}

HistoryFiles::~HistoryFiles()
{
    m_writer.reset();
}

void HistoryFiles::save(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders)
{
    if (!m_writer) {
        m_writer = std::make_unique<HistoryWriter>(
            [this](const QList<ClipboardItem> &i, const QList<ClipboardFolder> &f) { write(i, f); });
    }
    m_writer->save(items, folders);
}

void HistoryFiles::waitForPendingWrite()
{
    if (m_writer)
        m_writer->waitForPendingWrite();
}

QString HistoryFiles::itemsPath() const
{
    return m_directory + QLatin1Char('/') + kItemsName;
}

QString HistoryFiles::foldersPath() const
{
    return m_directory + QLatin1Char('/') + kFoldersName;
}

void HistoryFiles::prepareDirectory(bool quiet)
{
    const QByteArray path = encodedPath(m_directory);
    QDir().mkpath(QFileInfo(m_directory).absolutePath());
    if (::mkdir(path.constData(), 0700) == 0)
        return;
    const int error = errno;
    struct stat st;
    if (error == EEXIST && ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        // A folder made by an older version, or by hand, may be open to
        // others; it is only ever narrowed, never widened.
        if ((st.st_mode & 077) != 0 && ::chmod(path.constData(), st.st_mode & 0700) == 0 && !quiet)
            Log::info(QStringLiteral("Store: history folder %1 made private (0700)").arg(m_directory));
        return;
    }
    if (!quiet) {
        Log::error(QStringLiteral("Store: cannot create the history folder %1 (%2); the history is kept in "
                                  "memory until it can be saved")
                       .arg(m_directory, errorText(error == EEXIST ? ENOTDIR : error)));
    }
}

HistoryFiles::Loaded HistoryFiles::load()
{
    Loaded loaded;
    loaded.items = loadItems();
    loaded.folders = loadFolders();
    return loaded;
}

namespace {

// Opens and decodes one history file. `exists` is false when there is no
// file, which is not an error.
// `decode(stream, fd)` also gets the open file, which it may keep a
// duplicate of.
template<typename Decode>
auto readHistoryFile(const QString &path, Decode decode, bool *exists, FileStamp *stamp)
    -> decltype(decode(std::declval<JsonArrayStream &>(), 0))
{
    using Result = decltype(decode(std::declval<JsonArrayStream &>(), 0));
    Result result;
    *exists = true;
    const int fd = ::open(encodedPath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            *exists = false;
            return result;
        }
        result.problem = QStringLiteral("cannot be opened: ") + errorText(errno);
        return result;
    }
    struct stat st;
    if (::fstat(fd, &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            ::close(fd);
            result.problem = QStringLiteral("not a regular file");
            return result;
        }
        *stamp = FileStamp::of(st);
        // An older version left the files readable by others.
        if ((st.st_mode & 077) != 0)
            ::fchmod(fd, st.st_mode & 0600);
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    const qint64 size = stamp->valid ? qint64(stamp->size) : 0;
    JsonArrayStream stream(
        [fd](char *buffer, qint64 capacity, QString *error) -> qint64 {
            for (;;) {
                const ssize_t n = ::read(fd, buffer, std::size_t(capacity));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0)
                    *error = errorText(errno);
                return n;
            }
        },
        kReadChunk, size);
    result = decode(stream, fd);
    ::close(fd);
    return result;
}

// Copies a damaged history file aside and logs what was loaded from it. False
// when no copy could be made. `stamp` is forgotten either way.
template<typename Decoded>
bool keepDamagedAside(const QString &directory, const QString &name, const Decoded &decoded, FileStamp *stamp)
{
    QString why;
    const QString aside = keepAside(directory, name, &why);
    *stamp = {};
    Log::error(QStringLiteral("Store: %1 is damaged (%2); loaded %3, skipped %4; %5")
                   .arg(name, decoded.problem)
                   .arg(decoded.records.size())
                   .arg(decoded.skipped)
                   .arg(aside.isEmpty() ? QStringLiteral("no copy could be kept (%1), so it will not be "
                                                         "overwritten until the next start")
                                              .arg(why)
                                        : QStringLiteral("the original is kept as ") + aside));
    return !aside.isEmpty();
}

} // namespace

QList<ClipboardItem> HistoryFiles::loadItems()
{
    bool exists = false;
    const QString path = itemsPath();
    auto decoded = readHistoryFile(
        path,
        [&path](JsonArrayStream &s, int fd) {
            // Large contents stay in the file and are read from it on demand.
            const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
            auto file = own >= 0 ? std::make_shared<PayloadFile>(own, path) : nullptr;
            if (file)
                s.leaveOutStringsFrom(kLeaveOutFrom);
            return HistoryCodec::decodeItems(s, file);
        },
        &exists, &m_state->itemsStamp);
    if (exists && !decoded.clean())
        m_state->itemsProtected = !keepDamagedAside(m_directory, kItemsName, decoded, &m_state->itemsStamp);
    return std::move(decoded.records);
}

QList<ClipboardFolder> HistoryFiles::loadFolders()
{
    bool exists = false;
    auto decoded = readHistoryFile(
        foldersPath(), [](JsonArrayStream &s, int) { return HistoryCodec::decodeFolders(s); }, &exists,
        &m_state->foldersStamp);
    if (exists && !decoded.clean()) {
        m_state->foldersProtected = !keepDamagedAside(m_directory, kFoldersName, decoded, &m_state->foldersStamp);
    } else if (exists && m_state->foldersStamp.valid && m_state->foldersStamp.size < 1024 * 1024) {
        // Folders change rarely: when the file already holds exactly what a
        // write would put there, the first change after start-up need not
        // rewrite it.
        QFile file(foldersPath());
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            if (bytes == HistoryCodec::encodeFolders(decoded.records))
                m_state->lastFolders = bytes;
        }
    }
    return std::move(decoded.records);
}

QString HistoryFiles::writeItems(const QList<ClipboardItem> &items, bool *renamed)
{
    State &s = *m_state;
    const quint64 generation = ++s.generation;

    // First pass: refresh the cache and see whether anything changed.
    bool unchanged = items.size() == s.lastOrder.size();
    QSet<qsizetype> repeats; // later records whose id came before: never cached
    for (qsizetype i = 0; i < items.size(); ++i) {
        const ClipboardItem &item = items[i];
        State::Entry &entry = s.entries[item.id];
        if (entry.generation == generation) {
            repeats.insert(i);
            unchanged = false;
            continue;
        }
        const bool large = isLarge(item);
        if (!sameRecord(entry.item, item) || entry.json.isEmpty() != large) {
            unchanged = false;
            entry.item = item;
            entry.json = large ? QByteArray() : HistoryCodec::encodeItem(item);
        } else {
            entry.item = item; // equal content: share the caller's copy
        }
        if (unchanged && s.lastOrder[i] != item.id)
            unchanged = false;
        entry.generation = generation;
    }
    if (s.entries.size() != items.size() - repeats.size())
        s.entries.removeIf([generation](const auto &it) { return it.value().generation != generation; });
    if (unchanged && s.itemsStamp.matchesFile(itemsPath()))
        return {};

    // Where each large content's Base64 text lands in the new file.
    struct Placed {
        Payload payload;
        qint64 offset;
        qint64 length;
    };
    std::vector<Placed> placed;
    std::shared_ptr<PayloadFile> written;
    QString error = replaceFile(
        itemsPath(),
        [&](GatherWriter &out) {
            if (!out.addLiteral("[", 1))
                return false;
            bool first = true;
            for (qsizetype i = 0; i < items.size(); ++i) {
                const ClipboardItem &item = items[i];
                const auto entry = repeats.contains(i) ? s.entries.cend() : s.entries.constFind(item.id);
                std::optional<PayloadLocation> stored;
                if (item.raw.isLarge()) {
                    stored = item.raw.location();
                    QString why;
                    if (stored && !runIsWhole(*stored, &why)) {
                        Log::error(QStringLiteral("Store: clip %1 is left out of %2: its content cannot be read "
                                                  "from %3 (%4)")
                                       .arg(uuidText(item.id), kItemsName, stored->file->path(), why));
                        continue;
                    }
                }
                if (!first && !out.addLiteral(",", 1))
                    return false;
                first = false;
                if (entry != s.entries.cend() && !entry->json.isEmpty()) {
                    if (!out.add(entry->json))
                        return false;
                    continue;
                }
                s.scratch.resize(0);
                if (!item.raw.isLarge()) {
                    HistoryCodec::appendItem(s.scratch, item);
                    if (!out.add(s.scratch) || !out.flush())
                        return false;
                    continue;
                }
                // A large content goes in between the record's two halves:
                // copied as Base64 text from the file it lies in, or encoded
                // from memory once, after which it is read from the new file.
                const qsizetype rawAt = HistoryCodec::appendItemWithoutRaw(s.scratch, item);
                if (!out.add(s.scratch.left(rawAt)))
                    return false;
                const qint64 at = out.position();
                qint64 length = 0;
                if (stored) {
                    length = stored->length;
                    if (!out.copyFrom(stored->file->fd(), stored->offset, length))
                        return false;
                } else {
                    const QByteArray text = Base64::encode(item.raw.heldBytes().value_or(QByteArray()));
                    length = text.size();
                    if (!out.add(text) || !out.flush())
                        return false;
                }
                placed.push_back({item.raw, at, length});
                if (!out.add(s.scratch.mid(rawAt)) || !out.flush())
                    return false;
            }
            return out.addLiteral("]", 1);
        },
        &s.itemsStamp, &written);
    if (!error.isEmpty()) {
        s.itemsStamp = {};
        s.lastOrder.clear();
        return error;
    }
    *renamed = true;
    for (const Placed &p : placed)
        p.payload.moveTo({written, p.offset, p.length});
    s.lastOrder.clear();
    s.lastOrder.reserve(items.size());
    for (const ClipboardItem &item : items)
        s.lastOrder.append(item.id);
    // A large scratch buffer is not worth keeping between writes.
    if (s.scratch.capacity() > 8 * kCachedRecordLimit)
        s.scratch = QByteArray();
    return {};
}

QString HistoryFiles::writeFolders(const QList<ClipboardFolder> &folders, bool *renamed)
{
    State &s = *m_state;
    const QByteArray json = HistoryCodec::encodeFolders(folders);
    if (json == s.lastFolders && s.foldersStamp.matchesFile(foldersPath()))
        return {};
    const QString error = replaceFile(
        foldersPath(), [&json](GatherWriter &out) { return out.add(json); }, &s.foldersStamp);
    if (!error.isEmpty()) {
        s.foldersStamp = {};
        s.lastFolders.clear();
        return error;
    }
    *renamed = true;
    s.lastFolders = json;
    return {};
}

void HistoryFiles::write(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders)
{
    State &s = *m_state;
    if (::access(encodedPath(m_directory).constData(), F_OK) != 0)
        prepareDirectory(true);

    QStringList failures;
    bool renamed = false;
    if (!s.itemsProtected) {
        const QString error = writeItems(items, &renamed);
        if (!error.isEmpty())
            failures.append(QStringLiteral("%1 (%2)").arg(kItemsName, error));
    }
    if (!s.foldersProtected) {
        const QString error = writeFolders(folders, &renamed);
        if (!error.isEmpty())
            failures.append(QStringLiteral("%1 (%2)").arg(kFoldersName, error));
    }
    if (renamed) {
        // The renames are durable only once the folder's entry is on disk.
        const int dir = ::open(encodedPath(m_directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0 || ::fsync(dir) != 0)
            failures.append(QStringLiteral("the folder (%1)").arg(errorText(errno)));
        if (dir >= 0)
            ::close(dir);
    }
    if (!failures.isEmpty()) {
        s.failing = true;
        Log::error(QStringLiteral("Store: could not save %1; the previous contents are kept and the next change "
                                  "saves again")
                       .arg(failures.join(QStringLiteral(", "))));
    } else if (s.failing) {
        s.failing = false;
        Log::info(QStringLiteral("Store: history saved again after an earlier failure"));
    }
}
