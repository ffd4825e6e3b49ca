// The store's intake, visible list, selection and editing rules, against an
// in-memory history (writes are counted, not performed) and a fake clock.
#include <gtest/gtest.h>

#include "support/logcapture.h"
#include "support/storefixture.h"

namespace {

ClipboardItem clip(const QString &text, double createdAt = 0, ClipKind kind = ClipKind::Text)
{
    ClipboardItem item = ClipSamples::text(text, createdAt);
    item.kind = kind;
    return item;
}

QStringList previews(const QList<ClipboardItem> &items)
{
    QStringList out;
    for (const auto &i : items)
        out.append(i.preview);
    return out;
}

class StoreTest : public ::testing::Test, public StoreFixture
{
protected:
    LogCapture log;
};

// ------------------------------------------------------------------ intake

// A repeat of the last content (same kind and bytes) is dropped without a
// write, even when that clip was deleted since; the same bytes of
// another kind are not a repeat, nor an earlier content. An oversized clip is
// refused with an error.
TEST_F(StoreTest, a_repeat_of_the_last_content_and_an_oversized_clip_are_dropped)
{
    auto &s = makeStore({});
    const ClipboardItem a = clip(QStringLiteral("https://e.org"));
    s.insert(a);
    s.setSelection({a.id});
    s.deleteSelection();
    s.insert(clip(QStringLiteral("https://e.org")));
    EXPECT_TRUE(s.items().isEmpty());
    EXPECT_EQ(files.writes, 2);
    s.insert(clip(QStringLiteral("https://e.org"), 0, ClipKind::Url));
    s.insert(clip(QStringLiteral("B")));
    s.insert(clip(QStringLiteral("https://e.org"), 0, ClipKind::Url));
    EXPECT_EQ(s.items().size(), 3);
    EXPECT_EQ(files.writes, 5);

    ClipboardItem huge = clip(QStringLiteral("huge"));
    huge.raw = QByteArray(ClipboardStore::kMaxClipBytes + 1, Qt::Uninitialized);
    s.insert(huge);
    EXPECT_EQ(s.items().size(), 3);
    EXPECT_EQ(files.writes, 5);
    EXPECT_EQ(log.lines(Log::Level::Error).size(), 1);
}

// Regression: a flag whose own write was absorbed by the watcher used to
// swallow the user's next real copy, however much later it came.
TEST_F(StoreTest, suppression_ignores_exactly_the_next_change_unless_cancelled_or_lapsed)
{
    auto &s = makeStore({});
    s.suppressNextCapture();
    EXPECT_TRUE(s.shouldIgnore(1));
    EXPECT_FALSE(s.shouldIgnore(2));
    s.suppressNextCapture();
    s.cancelSuppressedCapture();
    EXPECT_FALSE(s.shouldIgnore(3));
    s.suppressNextCapture();
    clock.advance(ClipboardStore::kSuppressLapseSeconds + 0.5);
    EXPECT_FALSE(s.isCaptureSuppressed());
    EXPECT_FALSE(s.shouldIgnore(4));
}

// ------------------------------------------------------------------ visible list

TEST_F(StoreTest, visible_items_filter_by_folder_and_sort_newest_first_stably)
{
    const ClipboardFolder work = folder(QStringLiteral("Travail"));
    ClipboardItem f = clip(QStringLiteral("f"), 99);
    f.folderId = work.id;
    // d has the date of c and comes after it in the items.
    auto &s = makeStore({clip(QStringLiteral("a"), 10), clip(QStringLiteral("b"), 30), clip(QStringLiteral("c"), 20),
                         clip(QStringLiteral("d"), 20), f},
                        {work});
    EXPECT_EQ(previews(s.visibleItems()), (QStringList{"b", "c", "d", "a"}));
    s.setCurrentFolder(work.id);
    EXPECT_EQ(previews(s.visibleItems()), (QStringList{"f"}));
    s.setCurrentFolder(QUuid::createUuid()); // an empty folder shows nothing
    EXPECT_TRUE(s.visibleItems().isEmpty());
}

struct SearchCase {
    const char *name;
    const char *preview;
    const char *query;
    bool found;
};

class Search : public StoreTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(Search, matches_the_lower_cased_preview_only)
{
    ClipboardItem item = clip(QString::fromUtf8(GetParam().preview));
    item.raw = QByteArrayLiteral("hidden-in-raw-only");
    auto &s = makeStore({item});
    s.setSearchQuery(QString::fromUtf8(GetParam().query));
    EXPECT_EQ(s.visibleItems().size(), GetParam().found ? 1 : 0);
    // Same id, new preview (a restored backup, say): the folded cache must follow.
    item.preview = QStringLiteral("autre");
    makeStore({item}).setSearchQuery(QString::fromUtf8(GetParam().query));
    EXPECT_TRUE(store->visibleItems().isEmpty());
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

TEST_F(StoreTest, next_and_previous_wrap_around_and_select_all_takes_the_visible_clips)
{
    auto &empty = makeStore({});
    empty.selectAll();
    empty.selectNext();
    EXPECT_TRUE(empty.selection().isEmpty());

    const ClipboardItem a = clip(QStringLiteral("a"), 3), b = clip(QStringLiteral("b"), 2), c = clip(QStringLiteral("c"), 1);
    ClipboardItem hidden = clip(QStringLiteral("in folder"));
    hidden.folderId = QUuid::createUuid();
    auto &s = makeStore({a, b, c, hidden});
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
    s.selectAll();
    EXPECT_EQ(s.selection(), (QSet<QUuid>{a.id, b.id, c.id}));
}

// ------------------------------------------------------------------ editing

// Each edit writes once; an edit of a clip no longer there writes nothing.
TEST_F(StoreTest, pin_bump_and_thumbnail_edits_resort_and_write_once)
{
    const ClipboardItem n = clip(QStringLiteral("new"), 30), m = clip(QStringLiteral("mid"), 20),
                        o = clip(QStringLiteral("old"), 10);
    auto &s = makeStore({n, m, o});
    s.togglePin(m.id); // pinned first, then oldest first
    EXPECT_EQ(previews(s.items()), (QStringList{"mid", "old", "new"}));
    EXPECT_TRUE(s.items().first().pinned);
    clock.setNow(unixFromReferenceDate(1000));
    s.bumpToTop(o.id);
    EXPECT_DOUBLE_EQ(s.items()[1].createdAt, 1000);
    EXPECT_EQ(s.visibleItems().first().id, o.id);
    s.updateThumbnail(n.id, QByteArrayLiteral("png"));
    EXPECT_EQ(s.items().last().thumbnailPNG, QByteArrayLiteral("png"));
    s.updateThumbnail(n.id, std::nullopt);
    EXPECT_FALSE(s.items().last().thumbnailPNG.has_value());
    EXPECT_EQ(files.writes, 4);

    s.togglePin(QUuid::createUuid());
    s.bumpToTop(QUuid::createUuid());
    s.updateThumbnail(QUuid::createUuid(), QByteArrayLiteral("png"));
    EXPECT_EQ(files.writes, 4);
    EXPECT_EQ(log.lines(Log::Level::Error).size(), 1) << "a bump of a missing clip is an error";
}

struct DeleteCase {
    const char *name;
    int selectedIndex; // index in visibleItems (newest first) of a,b,c
    bool pinSelected;
    QStringList remaining;
    const char *selectedAfter; // preview, or "" for none
};

class DeleteSelection : public StoreTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteSelection, reselects_the_neighbour)
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

// A selection deletes its unpinned clips wherever they are; a single
// selected clip that is not visible is left alone.
TEST_F(StoreTest, deleting_a_selection_spares_pinned_and_invisible_single_clips)
{
    ClipboardItem a = clip(QStringLiteral("a")), b = clip(QStringLiteral("b")), c = clip(QStringLiteral("c"));
    b.pinned = true;
    c.folderId = QUuid::createUuid();
    auto &s = makeStore({a, b, c, clip(QStringLiteral("d"))});
    s.setSelection({c.id});
    s.deleteSelection();
    EXPECT_EQ(s.items().size(), 4);
    EXPECT_EQ(files.writes, 0);
    s.setSelection({a.id, b.id, c.id});
    s.deleteSelection();
    EXPECT_EQ(previews(s.items()), (QStringList{"b", "d"}));
    EXPECT_TRUE(s.selection().isEmpty());
    EXPECT_EQ(files.writes, 1);
}

TEST_F(StoreTest, clear_operations_keep_pinned_clips_and_respect_folders)
{
    const ClipboardFolder f = folder(QStringLiteral("F"));
    ClipboardItem recent = clip(QStringLiteral("recent")), pinned = clip(QStringLiteral("pinned")),
                  inFolder = clip(QStringLiteral("inFolder")), pinnedInFolder = clip(QStringLiteral("pinnedInFolder"));
    pinned.pinned = true;
    inFolder.folderId = f.id;
    pinnedInFolder.folderId = f.id;
    pinnedInFolder.pinned = true;
    const QList<ClipboardItem> all{recent, pinned, inFolder, pinnedInFolder};

    makeStore(all, {f}).clearRecents();
    EXPECT_EQ(previews(store->items()), (QStringList{"pinned", "inFolder", "pinnedInFolder"}));
    makeStore(all, {f}).clearFolder(f.id);
    EXPECT_EQ(previews(store->items()), (QStringList{"recent", "pinned", "pinnedInFolder"}));
    auto &s = makeStore(all, {f});
    s.setCurrentFolder(f.id);
    s.clearAll();
    EXPECT_EQ(previews(s.items()), (QStringList{"pinned", "pinnedInFolder"}));
    EXPECT_EQ(s.folders().size(), 1);
    EXPECT_EQ(s.currentFolder(), f.id);
    EXPECT_EQ(files.writes, 3);
}

TEST_F(StoreTest, folders_are_created_renamed_and_deleted_with_their_clips_going_back_to_the_recents)
{
    auto &s = makeStore({clip(QStringLiteral("a")), clip(QStringLiteral("b"))});
    s.createFolder(QStringLiteral("Même"));
    s.createFolder(QStringLiteral("Même"));
    ASSERT_EQ(s.folders().size(), 2);
    EXPECT_NE(s.folders()[0].id, s.folders()[1].id);
    const ClipboardFolder f = s.folders()[0];
    s.renameFolder(f.id, QStringLiteral("Autre"));
    s.renameFolder(QUuid::createUuid(), QStringLiteral("x"));
    EXPECT_EQ(s.folders()[0].name, QStringLiteral("Autre"));
    EXPECT_EQ(files.writes, 3);
    EXPECT_EQ(files.lastFolders, s.folders());

    // Assigning moves the clips found, pinned ones too.
    const QUuid a = s.items()[0].id, b = s.items()[1].id;
    s.togglePin(b);
    s.assign({a, b, QUuid::createUuid()}, f);
    for (const ClipboardItem &item : s.items())
        EXPECT_EQ(item.folderId, f.id);
    s.setCurrentFolder(f.id);
    s.setSelection({a});
    s.deleteFolder(f.id);
    EXPECT_EQ(s.folders().size(), 1);
    EXPECT_FALSE(s.currentFolder().has_value());
    EXPECT_EQ(s.visibleItems().size(), 2) << "back in the recents";
    EXPECT_TRUE(s.items()[0].pinned);
    EXPECT_EQ(s.selection(), QSet<QUuid>{a});
    s.assign({a}, s.folders()[0]);
    EXPECT_EQ(s.visibleItems().size(), 1);
    s.assign({a}, std::nullopt);
    EXPECT_EQ(s.visibleItems().size(), 2);
    EXPECT_EQ(files.writes, 8);
    EXPECT_EQ(files.lastItems, s.items());
}

} // namespace
