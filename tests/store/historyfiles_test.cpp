// The two history files on disk: where they live, their permissions, the
// atomic replacement, what happens to damaged files at start-up and to
// writes that fail. Tests run as root in CI, where permissions do not stop
// writes, so failures are injected by planting a directory where a file
// goes, or a file size limit.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/resource.h>
#include <sys/stat.h>

#include "model/base64.h"
#include "model/historycodec.h"
#include "model/uuidtext.h"
#include "store/historyfiles.h"
#include "support/clipsamples.h"
#include "support/logcapture.h"
#include "support/tempenv.h"

namespace {

ClipboardItem textClip(const QString &text) { return ClipSamples::text(text); }

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

struct stat statOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

mode_t modeOf(const QString &path) { return statOf(path).st_mode & 07777; }

QStringList asideFiles(const QString &dir, const QString &name)
{
    return QDir(dir).entryList({name + QStringLiteral(".unreadable-*")}, QDir::Files);
}

QList<ClipboardItem> loadItems(const QString &dir) { return HistoryFiles(dir).load().items; }

class HistoryFilesTest : public ::testing::Test
{
protected:
    TempEnv env;
    LogCapture log;
    QString dir() const { return env.historyDir(); }
    QString items() const { return dir() + QStringLiteral("/items.json"); }
    QString folders() const { return dir() + QStringLiteral("/folders.json"); }
    QStringList errors() const { return log.lines(Log::Level::Error); }
};

// Then every change to a record reaches the file: cached encodings must
// never outlive the record they were made from.
TEST_F(HistoryFilesTest, first_launch_writes_private_files_that_load_back_equal_and_follow_every_change)
{
    const ClipboardFolder folder{QUuid::createUuid(), QStringLiteral("Travail"), 12.5};
    ClipboardItem inFolder = textClip(QStringLiteral("dans un dossier"));
    inFolder.folderId = folder.id;
    inFolder.pinned = true;
    ClipboardItem file = textClip(QStringLiteral("photo.png"));
    file.kind = ClipKind::FileURL;
    file.fileURLString = QStringLiteral("file:///tmp/photo.png");
    file.fileName = QStringLiteral("photo.png");
    file.fileExt = QStringLiteral("png");
    file.thumbnailPNG = QByteArray("\x89PNG", 4);
    QList<ClipboardItem> list{inFolder, ClipSamples::image(300000), file, textClip(QString())};

    const mode_t old = ::umask(0);
    HistoryFiles files;
    EXPECT_EQ(files.directory(), dir());
    EXPECT_EQ(modeOf(dir()), mode_t(0700));
    const HistoryFiles::Loaded empty = files.load();
    EXPECT_TRUE(empty.items.isEmpty() && empty.folders.isEmpty());
    EXPECT_TRUE(QDir(dir()).entryList(QDir::Files).isEmpty()) << "a missing file is no damage";
    files.write(list, {folder});
    ::umask(old);
    EXPECT_EQ(readAll(items()), HistoryCodec::encodeItems(list));
    EXPECT_EQ(modeOf(items()), mode_t(0600));
    EXPECT_EQ(modeOf(folders()), mode_t(0600));
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("folders.json"), QStringLiteral("items.json")}));
    const HistoryFiles::Loaded loaded = HistoryFiles().load();
    EXPECT_EQ(loaded.items, list);
    EXPECT_EQ(loaded.folders, QList<ClipboardFolder>{folder});
    // Unchanged, the file is not rewritten; edited by hand while running, the next write wins.
    const ino_t itemsInode = statOf(items()).st_ino;
    files.write(list, {folder});
    EXPECT_EQ(statOf(items()).st_ino, itemsInode);
    writeFile(folders(), "[]");
    files.write(list, {folder});
    EXPECT_EQ(readAll(folders()), HistoryCodec::encodeFolders({folder}));

    const std::function<void(ClipboardItem &)> edits[] = {
        [](ClipboardItem &i) { i.pinned = !i.pinned; },
        [](ClipboardItem &i) { i.createdAt += 1; },
        [](ClipboardItem &i) { i.folderId = QUuid::createUuid(); },
        [](ClipboardItem &i) { i.folderId.reset(); },
        [](ClipboardItem &i) { i.thumbnailPNG = QByteArray("png"); },
        [](ClipboardItem &i) {
            QByteArray raw = i.raw.bytes();
            raw.append('!');
            i.raw = raw;
        },
        [](ClipboardItem &i) { i.preview += QStringLiteral("!"); },
        [](ClipboardItem &i) { i.sourceBundleID = QStringLiteral("org.example.app"); },
    };
    for (const auto &edit : edits) {
        for (qsizetype k = 0; k < list.size(); ++k) {
            edit(list[k]);
            files.write(list, {});
            ASSERT_EQ(loadItems(dir()), list) << "record " << k;
        }
    }
    list.move(0, 2);
    list.removeAt(1);
    files.write(list, {});
    EXPECT_EQ(loadItems(dir()), list);
    // A file removed by hand while running is written again by the next change.
    ASSERT_TRUE(QFile::remove(folders()));
    files.write(list, {folder});
    EXPECT_EQ(HistoryFiles().load().folders, QList<ClipboardFolder>{folder});
    EXPECT_TRUE(errors().isEmpty());
}

// ------------------------------------------------------------------ large contents

// Large contents are not held after a load or a write: they are read back
// from items.json when asked for.
TEST_F(HistoryFilesTest, large_contents_are_read_from_the_file_on_demand_and_survive_every_rewrite)
{
    const QList<ClipboardItem> original{textClip(QStringLiteral("a")), ClipSamples::image(3 << 20),
                                        ClipSamples::image(Payload::kLargeFrom), textClip(QStringLiteral("b")),
                                        ClipSamples::image(Payload::kLargeFrom - 1)};
    {
        HistoryFiles files;
        files.write(original, {});
        // Written once from memory, then let go.
        EXPECT_FALSE(original[1].raw.heldBytes().has_value());
        EXPECT_TRUE(original[1].raw.location().has_value());
    }
    HistoryFiles files;
    QList<ClipboardItem> list = files.load().items;
    ASSERT_EQ(list.size(), original.size());
    for (qsizetype i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].raw.location().has_value(), original[i].raw.size() >= Payload::kLargeFrom) << i;
        EXPECT_EQ(list[i].raw.bytes(), original[i].raw.bytes()) << "record " << i;
    }
    // Each rewrite copies the runs into a new file and re-points them there,
    // while the old file's name already belongs to the new one.
    for (int round = 0; round < 3; ++round) {
        const ino_t before = statOf(items()).st_ino;
        list.prepend(textClip(QStringLiteral("round %1").arg(round)));
        list.move(3, 1);
        files.write(list, {});
        ASSERT_NE(statOf(items()).st_ino, before);
        EXPECT_EQ(loadItems(dir()), list) << "round " << round;
    }
    EXPECT_TRUE(errors().isEmpty()) << errors().join(u'\n').toStdString();
}

// A damaged run of Base64 costs its own clip only, and says so: one run
// holds a character outside Base64 before the start, the file is cut short
// inside another while running (in place: the program still has it open).
TEST_F(HistoryFilesTest, a_damaged_large_content_is_reported_when_read_and_the_other_clips_stay_whole)
{
    const QList<ClipboardItem> original{textClip(QStringLiteral("a")), ClipSamples::image(1 << 20),
                                        ClipSamples::image(2 << 20), ClipSamples::image(1 << 20)};
    HistoryFiles().write(original, {});
    // The runs of the images start alike: the first is record 1's, the last record 3's.
    const QByteArray runStart = Base64::encode(original[1].raw.bytes().left(3 << 10));
    const auto damage = [&](bool last, const std::function<void(QByteArray &, qsizetype)> &edit) {
        QByteArray bytes = readAll(items());
        const qsizetype runAt = last ? bytes.lastIndexOf(runStart) : bytes.indexOf(runStart);
        ASSERT_GT(runAt, 0);
        edit(bytes, runAt);
        QFile f(items());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.resize(bytes.size()));
        ASSERT_EQ(f.write(bytes), bytes.size());
    };
    damage(false, [](QByteArray &b, qsizetype at) { b[at + 4000] = '*'; });
    HistoryFiles files;
    const QList<ClipboardItem> loaded = files.load().items;
    damage(true, [](QByteArray &b, qsizetype at) { b.truncate(at + 1000); });
    ASSERT_EQ(loaded.size(), 4);
    EXPECT_TRUE(errors().isEmpty()) << errors().join(u'\n').toStdString();
    QString why;
    EXPECT_FALSE(loaded[1].raw.read(&why).has_value());
    EXPECT_EQ(why, QStringLiteral("it is not valid Base64"));
    EXPECT_FALSE(loaded[3].raw.read(&why).has_value());
    EXPECT_EQ(why, QStringLiteral("the file ends before it"));
    EXPECT_EQ(log.matching(QStringLiteral("Store: a clip's content")).size(), 2);
    EXPECT_EQ(loaded[0], original[0]);
    EXPECT_EQ(loaded[2].raw.bytes(), original[2].raw.bytes());

    // A rewrite keeps the others whole; text no longer there to copy leaves
    // its clip out, with a line that says so.
    QList<ClipboardItem> next = loaded;
    next.prepend(textClip(QStringLiteral("nouveau")));
    files.write(next, {});
    EXPECT_EQ(log.matching(QStringLiteral("Store: clip %1 is left out of items.json").arg(uuidText(original[3].id))).size(), 1);
    const QList<ClipboardItem> again = loadItems(dir());
    ASSERT_EQ(again.size(), 4);
    EXPECT_EQ(again[0], next[0]);
    EXPECT_EQ(again[1], original[0]);
    EXPECT_EQ(again[3].raw.bytes(), original[2].raw.bytes());
}

// ------------------------------------------------------------------ damaged files

// Both files damaged, and left open to others: each keeps what it can, its
// original is copied aside, the folders are narrowed to their owner. The
// reasons the codec gives for other kinds of damage are its own tests'.
TEST_F(HistoryFilesTest, damaged_files_keep_their_readable_records_and_their_original_bytes_and_log_one_error_each)
{
    ClipboardItem filed = textClip(QStringLiteral("classé"));
    filed.folderId = QUuid::createUuid();
    const QByteArray deux = HistoryCodec::encodeItem(textClip(QStringLiteral("deux")));
    const QByteArray original = "[" + HistoryCodec::encodeItem(filed) + "," + QByteArray(deux).replace(",\"pinned\":false", "") + "]";
    ASSERT_TRUE(QDir().mkpath(dir()));
    writeFile(items(), original);
    writeFile(folders(), "{\"oops\":");
    for (const auto &[path, mode] : {std::pair{dir(), 0755}, std::pair{items(), 0644}, std::pair{folders(), 0664}})
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);

    HistoryFiles files;
    const HistoryFiles::Loaded loaded = files.load();
    for (const QString &path : {items(), folders(), dir()})
        EXPECT_EQ(modeOf(path), path == dir() ? mode_t(0700) : mode_t(0600));
    EXPECT_EQ(loaded.items, QList<ClipboardItem>{filed});
    EXPECT_TRUE(loaded.folders.isEmpty());
    const QStringList aside = asideFiles(dir(), QStringLiteral("items.json"));
    ASSERT_EQ(aside.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^items\\.json\\.unreadable-\\d{8}T\\d{6}Z$")).match(aside[0]).hasMatch())
        << aside[0].toStdString();
    EXPECT_EQ(readAll(dir() + u'/' + aside[0]), original);
    EXPECT_EQ(asideFiles(dir(), QStringLiteral("folders.json")).size(), 1);
    ASSERT_EQ(errors().size(), 2);
    EXPECT_EQ(errors()[0], QStringLiteral("Store: items.json is damaged (record 2: missing \"pinned\"); loaded 1, "
                                          "skipped 1; the original is kept as %1").arg(aside[0]));
    EXPECT_TRUE(errors()[1].startsWith(QStringLiteral("Store: folders.json is damaged (not a JSON array)")));

    // A restart on the same files reuses their copies and says so again.
    HistoryFiles().load();
    EXPECT_EQ(asideFiles(dir(), QStringLiteral("items.json")), aside);
    EXPECT_EQ(errors().size(), 4);

    // The next change replaces the files, clips keeping their folder ids; the
    // copy stays, and new damage gets another.
    QList<ClipboardItem> next = loaded.items;
    next.prepend(textClip(QStringLiteral("nouveau")));
    files.write(next, loaded.folders);
    EXPECT_EQ(loadItems(dir()), next);
    EXPECT_EQ(readAll(folders()), QByteArray("[]"));
    EXPECT_EQ(readAll(dir() + u'/' + aside[0]), original);
    ASSERT_TRUE(QFile::remove(items()));
    writeFile(items(), "not json");
    HistoryFiles().load();
    EXPECT_EQ(asideFiles(dir(), QStringLiteral("items.json")).size(), 2);
}

TEST_F(HistoryFilesTest, a_file_that_cannot_even_be_copied_is_never_overwritten_in_that_session)
{
    ASSERT_TRUE(QDir().mkpath(items())); // a directory named items.json
    HistoryFiles files;
    EXPECT_TRUE(files.load().items.isEmpty());
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors()[0].startsWith(QStringLiteral("Store: items.json is damaged (not a regular file); loaded 0, "
                                                      "skipped 0; no copy could be kept (")))
        << errors()[0].toStdString();
    log.clear();
    files.write({textClip(QStringLiteral("x"))}, {});
    EXPECT_TRUE(QFileInfo(items()).isDir());
    EXPECT_EQ(readAll(folders()), QByteArray("[]"));
    EXPECT_TRUE(errors().isEmpty()) << "the reason was given once, at start-up";
}

// ------------------------------------------------------------------ failed writes

TEST_F(HistoryFilesTest, a_failed_write_keeps_the_previous_file_logs_once_and_the_next_write_catches_up)
{
    HistoryFiles files;
    QList<ClipboardItem> list{textClip(QStringLiteral("un"))};
    files.write(list, {});
    const QByteArray before = readAll(items());

    // Something sits where the temporary file must go.
    const QString blocker = items() + QStringLiteral(".tmp");
    ASSERT_TRUE(QDir().mkpath(blocker + QStringLiteral("/inside")));
    list.prepend(textClip(QStringLiteral("deux")));
    const QList<ClipboardFolder> folderList{{QUuid::createUuid(), QStringLiteral("F"), 3}};
    files.write(list, folderList);
    EXPECT_EQ(readAll(items()), before);
    EXPECT_EQ(readAll(folders()), HistoryCodec::encodeFolders(folderList)) << "the other file is still written";
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors()[0].startsWith(QStringLiteral("Store: could not save items.json (")));
    EXPECT_TRUE(errors()[0].endsWith(QStringLiteral("); the previous contents are kept and the next change saves again")));

    ASSERT_TRUE(QDir(blocker).removeRecursively());
    log.clear();
    files.write(list, folderList);
    EXPECT_EQ(loadItems(dir()), list);
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_TRUE(log.contains(QStringLiteral("Store: history saved again after an earlier failure")));

    // A full disk, imitated by a file size limit: the write stops part way.
    log.clear();
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const QByteArray small = readAll(items());
    list.prepend(ClipSamples::image(1 << 20));
    files.write(list, folderList);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(readAll(items()), small);
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors()[0].startsWith(QStringLiteral("Store: could not save items.json (File too large)")))
        << errors()[0].toStdString();
    EXPECT_FALSE(QFile::exists(items() + QStringLiteral(".tmp")));
    files.write(list, folderList);
    EXPECT_EQ(loadItems(dir()), list);
}

} // namespace
