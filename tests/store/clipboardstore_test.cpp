// The store's intake, visible list, selection and editing rules, against an
// in-memory history (writes are counted, not performed) and a fake clock.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "model/referencedate.h"
#include "platform/fake/fakeclock.h"
#include "platform/fake/fakesoundplayer.h"
#include "platform/userdefaults.h"
#include "store/capturesource.h"
#include "store/clipboardstore.h"
#include "store/historyfiles.h"
#include "support/clipsamples.h"
#include "support/logcapture.h"
#include "support/memoryhistoryfiles.h"

namespace {

class RecordingCaptureSource final : public CaptureSource
{
public:
    void setOnNewItem(NewItemHandler h) override { onNewItem = std::move(h); }
    void setShouldIgnore(IgnoreHandler h) override { shouldIgnore = std::move(h); }
    void start() override { ++starts; }
    NewItemHandler onNewItem;
    IgnoreHandler shouldIgnore;
    int starts = 0;
};

ClipboardItem clip(const QString &text, double createdAt = 0, ClipKind kind = ClipKind::Text)
{
    ClipboardItem item = ClipSamples::text(text, createdAt);
    item.kind = kind;
    return item;
}

class StoreTest : public ::testing::Test
{
protected:
    StoreTest() : files(tmp.path()), defaults(tmp.path() + QStringLiteral("/defaults.conf")) {}

    ClipboardStore &makeStore()
    {
        store = std::make_unique<ClipboardStore>(files, clock, defaults, sound);
        return *store;
    }
    // A store preloaded with `items` (in items order) and `folders`.
    ClipboardStore &makeStore(const QList<ClipboardItem> &items, const QList<ClipboardFolder> &folders = {})
    {
        files.preset = {items, folders};
        return makeStore();
    }
    static QList<QString> previews(const QList<ClipboardItem> &items)
    {
        QList<QString> out;
        for (const auto &i : items)
            out.append(i.preview);
        return out;
    }

    QTemporaryDir tmp;
    MemoryHistoryFiles files;
    FakeClock clock;
    UserDefaults defaults;
    FakeSoundPlayer sound;
    LogCapture log;
    std::unique_ptr<ClipboardStore> store;
};

// ------------------------------------------------------------------ intake

TEST_F(StoreTest, ConstructionInstallsCallbacksAndStartsTheWatcher)
{
    auto source = std::make_unique<RecordingCaptureSource>();
    RecordingCaptureSource *raw = source.get();
    store = std::make_unique<ClipboardStore>(files, clock, defaults, sound, std::move(source));
    EXPECT_EQ(raw->starts, 1);
    ASSERT_TRUE(raw->onNewItem);
    raw->onNewItem(clip(QStringLiteral("via watcher")));
    EXPECT_EQ(store->items().size(), 1);
    EXPECT_FALSE(raw->shouldIgnore(7));
}

// Copies a second apart: a repeat of the last content (same kind and bytes,
// or the same signature worked out where the clip was built) is dropped
// without sound or write. The store takes a supplied signature instead of
// hashing the bytes again, and keeps no memo in memory.
struct Insert {
    const char *text;
    ClipKind kind = ClipKind::Text;
    const char *memoOf = nullptr; // the clip carries the signature of this text
};

struct InsertRow {
    const char *name;
    QList<Insert> inserts;
    int kept;
};

class StoreRepeats : public StoreTest, public ::testing::WithParamInterface<InsertRow> {};

TEST_P(StoreRepeats, DropOnlyARepeatOfTheLastContent)
{
    auto &s = makeStore();
    for (const Insert &insert : GetParam().inserts) {
        ClipboardItem item = clip(QString::fromUtf8(insert.text), 0, insert.kind);
        if (insert.memoOf)
            item.signature.hex = ClipboardStore::signature(ClipKind::Text, QByteArray(insert.memoOf));
        s.insert(item);
        clock.advance(1);
    }
    EXPECT_EQ(s.items().size(), GetParam().kept);
    EXPECT_EQ(files.writes, GetParam().kept);
    EXPECT_EQ(sound.played.size(), GetParam().kept);
    for (const ClipboardItem &item : s.items())
        EXPECT_TRUE(item.signature.hex.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StoreRepeats,
    ::testing::Values(InsertRow{"repeat_of_the_last_is_dropped", {{"same"}, {"same"}}, 1},
                      InsertRow{"only_the_last_counts", {{"A"}, {"B"}, {"A"}}, 3},
                      InsertRow{"same_bytes_of_another_kind_are_kept", {{"https://e.org"}, {"https://e.org", ClipKind::Url}}, 2},
                      InsertRow{"memo_then_same_bytes_without", {{"same", ClipKind::Text, "same"}, {"same"}}, 1},
                      InsertRow{"without_then_same_bytes_with_memo", {{"same"}, {"same", ClipKind::Text, "same"}}, 1},
                      InsertRow{"memos_of_other_content", {{"one", ClipKind::Text, "one"}, {"two", ClipKind::Text, "two"}}, 2},
                      // Only a store that trusts the memo, and does not hash
                      // the bytes, takes these different bytes for a repeat.
                      InsertRow{"memo_is_taken_over_the_bytes", {{"one", ClipKind::Text, "two"}, {"two"}}, 1},
                      InsertRow{"memo_is_taken_over_the_bytes_second", {{"two"}, {"one", ClipKind::Text, "two"}}, 1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(StoreTest, DeletingTheNewestClipStillSuppressesItsRepeat)
{
    auto &s = makeStore();
    const ClipboardItem a = clip(QStringLiteral("gone"));
    s.insert(a);
    s.setSelection({a.id});
    s.deleteSelection();
    s.insert(clip(QStringLiteral("gone")));
    EXPECT_TRUE(s.items().isEmpty());
}

TEST_F(StoreTest, ClipOverTheSizeLimitIsRefusedWithAnErrorLine)
{
    auto &s = makeStore();
    ClipboardItem huge = clip(QStringLiteral("huge"));
    huge.raw = QByteArray(ClipboardStore::kMaxClipBytes + 1, Qt::Uninitialized);
    s.insert(huge);
    EXPECT_TRUE(s.items().isEmpty());
    EXPECT_EQ(files.writes, 0);
    EXPECT_EQ(log.lines(Log::Level::Error).size(), 1);
}

TEST_F(StoreTest, SearchSeesAClipReplacedUnderTheSameId)
{
    ClipboardItem a = clip(QStringLiteral("alpha"));
    auto &s = makeStore({a});
    s.setSearchQuery(QStringLiteral("alp"));
    ASSERT_EQ(s.visibleItems().size(), 1);
    // Same id, new preview (a restored backup, say): the folded cache must follow.
    ClipboardItem b = a;
    b.preview = QStringLiteral("beta");
    files.preset = {{b}, {}};
    auto &t = makeStore();
    t.setSearchQuery(QStringLiteral("alp"));
    EXPECT_TRUE(t.visibleItems().isEmpty());
    t.setSearchQuery(QStringLiteral("BET"));
    EXPECT_EQ(t.visibleItems().size(), 1);
}

TEST(StoreSignature, IsSha256OverKindZeroByteAndRaw)
{
    QByteArray input = QByteArrayLiteral("fileURL");
    input.append('\0');
    input.append("x");
    EXPECT_EQ(ClipboardStore::signature(ClipKind::FileURL, "x"),
              QString::fromLatin1(QCryptographicHash::hash(input, QCryptographicHash::Sha256).toHex()));
}

struct SoundCase {
    const char *name;
    double gap;
    bool secondPlays;
};

class SoundThrottle : public StoreTest, public ::testing::WithParamInterface<SoundCase>
{
};

TEST_P(SoundThrottle, SecondCopyPlaysOnlyAfterMoreThan350ms)
{
    auto &s = makeStore();
    clock.setNow(1000.0);
    s.insert(clip(QStringLiteral("one")));
    clock.setNow(1000.0 + GetParam().gap);
    s.insert(clip(QStringLiteral("two")));
    EXPECT_EQ(s.items().size(), 2);
    EXPECT_EQ(sound.played.size(), GetParam().secondPlays ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(Gaps, SoundThrottle,
                         ::testing::Values(SoundCase{"gap_300ms_is_throttled", 0.3, false},
                                           SoundCase{"gap_exactly_350ms_is_throttled", 0.35, false},
                                           SoundCase{"gap_500ms_plays", 0.5, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(StoreTest, SoundSettingsAreReadAtEachInsert)
{
    // An enabled setting of another type counts as on.
    defaults.setString(QStringLiteral("bramblet.sound.enabled"), QStringLiteral("no"));
    auto &s = makeStore();
    clock.setNow(100);
    s.insert(clip(QStringLiteral("1")));
    defaults.setString(QStringLiteral("bramblet.sound.name"), QStringLiteral("Glass"));
    clock.setNow(101);
    s.insert(clip(QStringLiteral("2")));
    defaults.setBool(QStringLiteral("bramblet.sound.enabled"), false);
    clock.setNow(102);
    s.insert(clip(QStringLiteral("3")));
    // Disabled still advances the throttle.
    defaults.setBool(QStringLiteral("bramblet.sound.enabled"), true);
    clock.setNow(102.2);
    s.insert(clip(QStringLiteral("4")));
    EXPECT_EQ(sound.played, (QStringList{QStringLiteral("Pop"), QStringLiteral("Glass")}));
}

// ------------------------------------------------------------------ one-shot suppression

TEST_F(StoreTest, SuppressionIgnoresExactlyTheNextChangeUnlessCancelled)
{
    auto &s = makeStore();
    s.suppressNextCapture();
    EXPECT_TRUE(s.shouldIgnore(1));
    EXPECT_FALSE(s.shouldIgnore(2));
    s.suppressNextCapture();
    s.cancelSuppressedCapture();
    EXPECT_FALSE(s.shouldIgnore(3));
}

// Regression: a flag whose own write was absorbed by the watcher used to
// swallow the user's next real copy, however much later it came.
TEST_F(StoreTest, SuppressionLapsesSoALaterRealCopyIsKept)
{
    auto &s = makeStore();
    s.suppressNextCapture();
    clock.advance(ClipboardStore::kSuppressLapseSeconds + 0.5);
    EXPECT_FALSE(s.isCaptureSuppressed());
    EXPECT_FALSE(s.shouldIgnore(1));
}

// ------------------------------------------------------------------ visible list

TEST_F(StoreTest, VisibleItemsFilterByFolderAndSortNewestFirstStably)
{
    const ClipboardFolder work{QUuid::createUuid(), QStringLiteral("Travail"), 0};
    ClipboardItem a = clip(QStringLiteral("a"), 10);
    ClipboardItem b = clip(QStringLiteral("b"), 30);
    ClipboardItem c = clip(QStringLiteral("c"), 20);
    ClipboardItem d = clip(QStringLiteral("d"), 20); // same date as c, after it in items
    ClipboardItem f = clip(QStringLiteral("f"), 99);
    f.folderId = work.id;
    auto &s = makeStore({a, b, c, d, f}, {work});
    EXPECT_EQ(previews(s.visibleItems()), (QList<QString>{"b", "c", "d", "a"}));
    s.setCurrentFolder(work.id);
    EXPECT_EQ(previews(s.visibleItems()), (QList<QString>{"f"}));
    s.setCurrentFolder(QUuid::createUuid()); // an empty folder shows nothing
    EXPECT_TRUE(s.visibleItems().isEmpty());
}

struct SearchCase {
    const char *name;
    const char *preview;
    const char *query;
    bool found;
};

class Search : public StoreTest, public ::testing::WithParamInterface<SearchCase>
{
};

TEST_P(Search, MatchesLowerCasedPreviewOnly)
{
    ClipboardItem item = clip(QString::fromUtf8(GetParam().preview));
    item.raw = QByteArrayLiteral("hidden-in-raw-only");
    auto &s = makeStore({item});
    s.setSearchQuery(QString::fromUtf8(GetParam().query));
    EXPECT_EQ(s.visibleItems().size(), GetParam().found ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, Search,
    ::testing::Values(SearchCase{"ascii_case_is_folded", "xxABCxx", "abc", true},
                      SearchCase{"accented_capital_is_folded", "CAFÉ", "é", true},
                      SearchCase{"upper_case_query_is_folded", "hello", "HeLLo", true},
                      SearchCase{"single_space_is_not_trimmed", "two words", " ", true},
                      SearchCase{"space_query_misses_single_word", "word", " ", false},
                      SearchCase{"raw_is_not_searched", "shown text", "hidden", false}),
    [](const auto &info) { return std::string(info.param.name); });

// ------------------------------------------------------------------ selection

TEST_F(StoreTest, SelectNextAndPreviousWrapAround)
{
    const ClipboardItem a = clip(QStringLiteral("a"), 3), b = clip(QStringLiteral("b"), 2), c = clip(QStringLiteral("c"), 1);
    auto &s = makeStore({a, b, c});
    s.selectNext();
    EXPECT_EQ(s.selection(), QSet<QUuid>{a.id});
    s.selectNext();
    s.selectNext();
    EXPECT_EQ(s.selection(), QSet<QUuid>{c.id});
    s.selectNext();
    EXPECT_EQ(s.selection(), QSet<QUuid>{a.id});
    s.selectPrevious();
    EXPECT_EQ(s.selection(), QSet<QUuid>{c.id});
    s.setSelection({QUuid::createUuid()}); // no longer in the list
    s.selectPrevious();
    EXPECT_EQ(s.selection(), QSet<QUuid>{c.id});
}

TEST_F(StoreTest, SelectAllTakesVisibleOnlyAndEmptyStaysEmpty)
{
    auto &s = makeStore();
    QSignalSpy spy(&s, &ClipboardStore::selectionChanged);
    s.selectAll();
    EXPECT_TRUE(s.selection().isEmpty());
    s.selectNext(); // empty list: nothing happens
    EXPECT_TRUE(s.selection().isEmpty());
    ClipboardItem hidden = clip(QStringLiteral("in folder"));
    hidden.folderId = QUuid::createUuid();
    auto &t = makeStore({clip(QStringLiteral("x")), hidden});
    t.selectAll();
    EXPECT_EQ(t.selection().size(), 1);
}

// ------------------------------------------------------------------ editing

TEST_F(StoreTest, TogglePinResortsItemsPinnedFirstOldestFirst)
{
    const ClipboardItem n = clip(QStringLiteral("new"), 30), m = clip(QStringLiteral("mid"), 20),
                        o = clip(QStringLiteral("old"), 10);
    auto &s = makeStore({n, m, o});
    s.togglePin(m.id);
    EXPECT_EQ(previews(s.items()), (QList<QString>{"mid", "old", "new"}));
    EXPECT_TRUE(s.items().first().pinned);
    EXPECT_EQ(files.writes, 1);
    s.togglePin(QUuid::createUuid());
    EXPECT_EQ(files.writes, 1);
}

TEST_F(StoreTest, BumpToTopSetsNowAndAMissingClipWritesNothing)
{
    const ClipboardItem a = clip(QStringLiteral("a"), 1);
    auto &s = makeStore({a, clip(QStringLiteral("b"), 5)});
    clock.setNow(unixFromReferenceDate(1000));
    s.bumpToTop(a.id);
    EXPECT_DOUBLE_EQ(s.items().first().createdAt, 1000);
    EXPECT_EQ(s.visibleItems().first().id, a.id);
    s.bumpToTop(QUuid::createUuid());
    EXPECT_EQ(log.lines(Log::Level::Error).size(), 1);
    EXPECT_EQ(files.writes, 1);
}

TEST_F(StoreTest, UpdateThumbnailOfUnknownClipWritesNothing)
{
    const ClipboardItem a = clip(QStringLiteral("a"));
    auto &s = makeStore({a});
    s.updateThumbnail(QUuid::createUuid(), QByteArrayLiteral("png"));
    EXPECT_EQ(files.writes, 0);
    s.updateThumbnail(a.id, QByteArrayLiteral("png"));
    EXPECT_EQ(s.items().first().thumbnailPNG, QByteArrayLiteral("png"));
    s.updateThumbnail(a.id, std::nullopt);
    EXPECT_FALSE(s.items().first().thumbnailPNG.has_value());
    EXPECT_EQ(files.writes, 2);
}

struct DeleteCase {
    const char *name;
    int selectedIndex;   // index in visibleItems (newest first) of a,b,c
    bool pinSelected;
    QList<QString> remaining;
    const char *selectedAfter; // preview, or "" for none
};

class DeleteSelection : public StoreTest, public ::testing::WithParamInterface<DeleteCase>
{
};

TEST_P(DeleteSelection, ReselectsTheNeighbour)
{
    QList<ClipboardItem> items{clip(QStringLiteral("a"), 3), clip(QStringLiteral("b"), 2), clip(QStringLiteral("c"), 1)};
    items[GetParam().selectedIndex].pinned = GetParam().pinSelected;
    auto &s = makeStore(items);
    s.setSelection({items[GetParam().selectedIndex].id});
    s.deleteSelection();
    EXPECT_EQ(previews(s.visibleItems()), GetParam().remaining);
    EXPECT_EQ(files.writes, 1);
    const auto selected = s.selectedItem(s.visibleItems());
    EXPECT_EQ(selected ? selected->preview : QString(), QString::fromLatin1(GetParam().selectedAfter));
}

INSTANTIATE_TEST_SUITE_P(
    Neighbours, DeleteSelection,
    ::testing::Values(DeleteCase{"first_selects_new_first", 0, false, {"b", "c"}, "b"},
                      DeleteCase{"middle_selects_next", 1, false, {"a", "c"}, "c"},
                      DeleteCase{"last_selects_new_last", 2, false, {"a", "b"}, "b"},
                      DeleteCase{"pinned_stays_and_stays_selected", 1, true, {"a", "b", "c"}, "b"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(StoreTest, DeleteSelectionOfOnlyClipEmptiesAndOfAnInvisibleOneDoesNothing)
{
    ClipboardItem a = clip(QStringLiteral("a")), hidden = clip(QStringLiteral("hidden"));
    hidden.folderId = QUuid::createUuid();
    auto &s = makeStore({a, hidden});
    s.setSelection({a.id});
    s.deleteSelection();
    EXPECT_EQ(s.items().size(), 1);
    EXPECT_TRUE(s.selection().isEmpty());
    s.setSelection({hidden.id});
    s.deleteSelection();
    EXPECT_EQ(s.items().size(), 1);
    EXPECT_EQ(s.selection().size(), 1);
    EXPECT_EQ(files.writes, 1);
}

TEST_F(StoreTest, MultiSelectionDeletesAllButPinnedEverywhere)
{
    ClipboardItem a = clip(QStringLiteral("a")), b = clip(QStringLiteral("b")), c = clip(QStringLiteral("c"));
    b.pinned = true;
    c.folderId = QUuid::createUuid();
    auto &s = makeStore({a, b, c, clip(QStringLiteral("d"))});
    s.setSelection({a.id, b.id, c.id});
    s.deleteSelection();
    EXPECT_EQ(previews(s.items()), (QList<QString>{"b", "d"}));
    EXPECT_TRUE(s.selection().isEmpty());
    EXPECT_EQ(files.writes, 1);
}

TEST_F(StoreTest, ClearOperationsKeepPinnedAndRespectFolders)
{
    const ClipboardFolder f{QUuid::createUuid(), QStringLiteral("F"), 0};
    ClipboardItem recent = clip(QStringLiteral("recent")), pinned = clip(QStringLiteral("pinned")),
                  inFolder = clip(QStringLiteral("inFolder")), pinnedInFolder = clip(QStringLiteral("pinnedInFolder"));
    pinned.pinned = true;
    inFolder.folderId = f.id;
    pinnedInFolder.folderId = f.id;
    pinnedInFolder.pinned = true;
    const QList<ClipboardItem> all{recent, pinned, inFolder, pinnedInFolder};

    auto &s1 = makeStore(all, {f});
    s1.clearRecents();
    EXPECT_EQ(previews(s1.items()), (QList<QString>{"pinned", "inFolder", "pinnedInFolder"}));

    auto &s2 = makeStore(all, {f});
    s2.clearFolder(f.id);
    EXPECT_EQ(previews(s2.items()), (QList<QString>{"recent", "pinned", "pinnedInFolder"}));

    auto &s3 = makeStore(all, {f});
    s3.setCurrentFolder(f.id);
    s3.clearAll();
    EXPECT_EQ(previews(s3.items()), (QList<QString>{"pinned", "pinnedInFolder"}));
    EXPECT_EQ(s3.folders().size(), 1);
    EXPECT_EQ(s3.currentFolder(), f.id);
    EXPECT_EQ(files.writes, 3);
}

TEST_F(StoreTest, FolderLifecycle)
{
    auto &s = makeStore();
    s.createFolder(QStringLiteral("Même"));
    s.createFolder(QStringLiteral("Même"));
    ASSERT_EQ(s.folders().size(), 2);
    EXPECT_NE(s.folders()[0].id, s.folders()[1].id);
    const QUuid id = s.folders()[0].id;
    s.renameFolder(id, QStringLiteral("Autre"));
    EXPECT_EQ(s.folders()[0].name, QStringLiteral("Autre"));
    s.renameFolder(QUuid::createUuid(), QStringLiteral("x"));
    EXPECT_EQ(files.writes, 3);
    EXPECT_EQ(files.lastFolders.size(), 2);
}

TEST_F(StoreTest, DeleteFolderReturnsClipsToRecentsWithPinsAndLeavesFolderView)
{
    const ClipboardFolder f{QUuid::createUuid(), QStringLiteral("F"), 0};
    ClipboardItem a = clip(QStringLiteral("a")), b = clip(QStringLiteral("b"));
    a.folderId = f.id;
    b.folderId = f.id;
    b.pinned = true;
    auto &s = makeStore({a, b}, {f});
    s.setCurrentFolder(f.id);
    s.setSelection({a.id});
    s.deleteFolder(f.id);
    EXPECT_TRUE(s.folders().isEmpty());
    EXPECT_FALSE(s.currentFolder().has_value());
    EXPECT_EQ(s.visibleItems().size(), 2);
    EXPECT_TRUE(s.items()[1].pinned);
    EXPECT_EQ(s.selection(), QSet<QUuid>{a.id});
    EXPECT_EQ(files.writes, 1);
}

TEST_F(StoreTest, AssignMovesFoundClipsPinnedOnesTooAndBackToRecents)
{
    const ClipboardFolder f{QUuid::createUuid(), QStringLiteral("Projets"), 0};
    ClipboardItem a = clip(QStringLiteral("a")), b = clip(QStringLiteral("b"));
    b.pinned = true;
    auto &s = makeStore({clip(QStringLiteral("other")), a, b}, {f});
    s.assign({a.id, b.id, QUuid::createUuid()}, f);
    EXPECT_FALSE(s.items()[0].folderId.has_value());
    EXPECT_EQ(s.items()[1].folderId, f.id);
    EXPECT_EQ(s.items()[2].folderId, f.id);
    EXPECT_EQ(files.writes, 1);
    s.assign({a.id}, std::nullopt);
    EXPECT_FALSE(s.items()[1].folderId.has_value());
    EXPECT_EQ(files.lastItems, s.items());
}

TEST_F(StoreTest, PruneRemovesOnlyOldUnpinnedClipsInOneWrite)
{
    clock.setNow(unixFromReferenceDate(10 * 86400));
    ClipboardItem oldPinned = clip(QStringLiteral("oldPinned"), 0), oldInFolder = clip(QStringLiteral("oldInFolder"), 0);
    oldPinned.pinned = true;
    oldInFolder.folderId = QUuid::createUuid();
    auto &s = makeStore({clip(QStringLiteral("fresh"), 10 * 86400 - 60), clip(QStringLiteral("old"), 86400), oldPinned, oldInFolder});
    EXPECT_EQ(s.pruneOlderThan(86400), 2);
    EXPECT_EQ(previews(s.items()), (QList<QString>{"fresh", "oldPinned"}));
    EXPECT_EQ(files.writes, 1);
    EXPECT_EQ(s.pruneOlderThan(86400), 0);
    EXPECT_EQ(files.writes, 1);
}

TEST_F(StoreTest, PublishedFieldsSignalOnEveryAssignment)
{
    auto &s = makeStore();
    QSignalSpy items(&s, &ClipboardStore::itemsChanged), query(&s, &ClipboardStore::searchQueryChanged),
        active(&s, &ClipboardStore::searchActiveChanged), folder(&s, &ClipboardStore::currentFolderChanged),
        scroll(&s, &ClipboardStore::suppressAutoScrollOnceChanged);
    s.insert(clip(QStringLiteral("x")));
    s.setSearchQuery(QStringLiteral("q"));
    s.setSearchQuery(QStringLiteral("q"));
    s.setSearchActive(true);
    s.setCurrentFolder(std::nullopt);
    s.setSuppressAutoScrollOnce(true);
    EXPECT_EQ(items.count(), 1);
    EXPECT_EQ(query.count(), 2);
    EXPECT_EQ(active.count(), 1);
    EXPECT_EQ(folder.count(), 1);
    EXPECT_EQ(scroll.count(), 1);
}

} // namespace
