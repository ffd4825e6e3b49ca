#include "clipboardstore.h"

#include <algorithm>

#include <QCryptographicHash>
#include <QPointer>
#include <QStringMatcher>

#include "capturesource.h"
#include "historyfiles.h"
#include "model/referencedate.h"
#include "model/uuidtext.h"
#include "platform/clock.h"
#include "platform/logger.h"
#include "platform/soundplayer.h"
#include "platform/userdefaults.h"

namespace {

constexpr double kSoundThrottleSeconds = 0.35;
const QString kSoundEnabledKey = QStringLiteral("bramblet.sound.enabled");
const QString kSoundNameKey = QStringLiteral("bramblet.sound.name");

} // namespace

ClipboardStore::ClipboardStore(HistoryFiles &files, Clock &clock, UserDefaults &defaults, SoundPlayer &sound,
                               std::unique_ptr<CaptureSource> watcher, QObject *parent)
    : QObject(parent), m_files(files), m_clock(clock), m_defaults(defaults), m_sound(sound),
      m_watcher(std::move(watcher))
{
    HistoryFiles::Loaded loaded = m_files.load();
    m_items = std::move(loaded.items);
    m_folders = std::move(loaded.folders);

    if (m_watcher) {
        // The watcher may outlive a call into a destroyed store during
        // shutdown; the guard makes its callbacks inert then.
        QPointer<ClipboardStore> self(this);
        m_watcher->setShouldIgnore([self](qint64 cc) { return self ? self->shouldIgnore(cc) : false; });
        m_watcher->setOnNewItem([self](const ClipboardItem &item) {
            if (self)
                self->insert(item);
        });
        m_watcher->start();
    }
    Log::info(QStringLiteral("ClipboardStore init — 0x%1").arg(quintptr(this), 0, 16));
}

ClipboardStore::~ClipboardStore()
{
    waitForPendingWrite();
}

// ---------------------------------------------------------------- published

void ClipboardStore::setSelection(const QSet<QUuid> &selection)
{
    m_selection = selection;
    emit selectionChanged();
}

void ClipboardStore::setCurrentFolder(std::optional<QUuid> folder)
{
    m_currentFolder = folder;
    emit currentFolderChanged();
}

void ClipboardStore::setSuppressAutoScrollOnce(bool on)
{
    m_suppressAutoScrollOnce = on;
    emit suppressAutoScrollOnceChanged();
}

void ClipboardStore::setSearchQuery(const QString &query)
{
    m_searchQuery = query;
    emit searchQueryChanged();
}

void ClipboardStore::setSearchActive(bool active)
{
    m_searchActive = active;
    emit searchActiveChanged();
}

void ClipboardStore::setItems(QList<ClipboardItem> items)
{
    m_items = std::move(items);
    m_lowerByIndex.clear();
    if (m_lowerPreviews.size() > m_items.size() * 2)
        m_lowerPreviews.clear();
    emit itemsChanged();
}

// ---------------------------------------------------------------- intake

QString ClipboardStore::signature(ClipKind kind, const QByteArray &raw)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(clipKindRawValue(kind).toUtf8());
    const char zero = 0;
    hash.addData(QByteArrayView(&zero, 1));
    hash.addData(raw);
    return QString::fromLatin1(hash.result().toHex());
}

double ClipboardStore::nowReferenceDate() const
{
    return referenceDateFromUnix(m_clock.now());
}

void ClipboardStore::insert(const ClipboardItem &item)
{
    if (item.raw.size() > kMaxClipBytes) {
        // One clip this large would make every later write and load carry it;
        // refusing it keeps the history loadable.
        Log::error(QStringLiteral("Store: clip refused, %1 bytes is over the %2 MiB limit")
                       .arg(item.raw.size())
                       .arg(kMaxClipBytes / (1024 * 1024)));
        return;
    }
    // Hashing tens of megabytes here would hold the interface; the capture
    // hashes large clips on the worker that builds them.
    const QString sig = item.signature.hex.isEmpty() ? signature(item.kind, item.raw.bytes()) : item.signature.hex;
    if (m_lastClipHash && *m_lastClipHash == sig) {
        Log::debug(QStringLiteral("Store: duplicate suppressed (same signature)"));
        return;
    }
    m_lastClipHash = sig;
    m_items.prepend(item);
    m_items.first().signature = {}; // the memo has served; kept clips carry none
    if (m_lowerByIndex.size() + 1 == m_items.size())
        m_lowerByIndex.prepend(lowerPreview(item));
    emit itemsChanged();
    Log::info(QStringLiteral("Store: insert item kind=%1 bytes=%2 sig=%3…")
                  .arg(clipKindRawValue(item.kind))
                  .arg(item.raw.size())
                  .arg(sig.left(8)));
    playCopySound();
    persist();
}

void ClipboardStore::playCopySound()
{
    const double now = m_clock.now();
    // The epsilon keeps a gap of exactly 0.35 s throttled despite rounding.
    if (now - m_lastSoundAt > kSoundThrottleSeconds + 1e-6) {
        Log::debug(QStringLiteral("Store: play sound"));
        if (m_defaults.boolValue(kSoundEnabledKey).value_or(true))
            m_sound.play(m_defaults.stringValue(kSoundNameKey).value_or(QStringLiteral("Pop")));
        m_lastSoundAt = now;
    } else {
        Log::debug(QStringLiteral("Store: sound throttled"));
    }
}

bool ClipboardStore::isCaptureSuppressed() const
{
    return m_ignoreNextCapture && m_clock.now() - m_ignoreSetAt <= kSuppressLapseSeconds;
}

bool ClipboardStore::shouldIgnore(qint64)
{
    // A flag older than the lapse belonged to a write whose change the watcher
    // absorbed; honouring it now would swallow a real copy.
    const bool live = isCaptureSuppressed();
    m_ignoreNextCapture = false;
    if (!live)
        return false;
    Log::debug(QStringLiteral("Store: shouldIgnore = true (one-shot)"));
    return true;
}

void ClipboardStore::suppressNextCapture()
{
    Log::debug(QStringLiteral("Store: suppressNextCapture()"));
    m_ignoreNextCapture = true;
    m_ignoreSetAt = m_clock.now();
}

void ClipboardStore::cancelSuppressedCapture()
{
    m_ignoreNextCapture = false;
}

// ---------------------------------------------------------------- visible list and selection

const QString &ClipboardStore::lowerPreview(const ClipboardItem &item) const
{
    // Previews never change after capture, so the folded form is kept per
    // clip; the data pointer check catches a clip replaced under the same id.
    LowerPreview &entry = m_lowerPreviews[item.id];
    if (entry.source != item.preview.constData() || entry.size != item.preview.size()) {
        entry.source = item.preview.constData();
        entry.size = item.preview.size();
        entry.lower = item.preview.toLower();
    }
    return entry.lower;
}

QList<ClipboardItem> ClipboardStore::visibleItems() const
{
    // The folded previews follow items index by index; insert keeps them in
    // step and any other reshaping of the list drops them to be rebuilt here.
    if (m_lowerByIndex.size() != m_items.size()) {
        m_lowerByIndex.clear();
        m_lowerByIndex.reserve(m_items.size());
        for (const ClipboardItem &item : m_items)
            m_lowerByIndex.append(lowerPreview(item));
    }
    const QString query = m_searchQuery.toLower();
    const QStringMatcher matcher(query); // one skip table for the whole scan
    QList<const ClipboardItem *> kept;
    kept.reserve(m_items.size());
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const ClipboardItem &item = m_items[i];
        if (item.folderId != m_currentFolder)
            continue;
        if (!query.isEmpty() && matcher.indexIn(m_lowerByIndex[i]) < 0)
            continue;
        kept.append(&item);
    }
    const auto newerFirst = [](const ClipboardItem *a, const ClipboardItem *b) { return a->createdAt > b->createdAt; };
    // New clips go to the front, so the list is usually in order already.
    if (!std::is_sorted(kept.begin(), kept.end(), newerFirst))
        std::stable_sort(kept.begin(), kept.end(), newerFirst);
    QList<ClipboardItem> out;
    out.reserve(kept.size());
    for (const ClipboardItem *item : std::as_const(kept))
        out.append(*item);
    return out;
}

std::optional<ClipboardItem> ClipboardStore::selectedItem(const QList<ClipboardItem> &in) const
{
    if (m_selection.isEmpty())
        return std::nullopt;
    // With several ids selected, the smallest id is taken so the answer does
    // not depend on hash order.
    const QUuid id = *std::min_element(m_selection.cbegin(), m_selection.cend());
    for (const ClipboardItem &item : in) {
        if (item.id == id)
            return item;
    }
    return std::nullopt;
}

namespace {

int indexIn(const QList<ClipboardItem> &list, const std::optional<ClipboardItem> &item)
{
    if (!item)
        return -1;
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].id == item->id)
            return i;
    }
    return -1;
}

} // namespace

void ClipboardStore::selectNext()
{
    const QList<ClipboardItem> list = visibleItems();
    if (list.isEmpty())
        return;
    const int i = indexIn(list, selectedItem(list));
    const int next = (i >= 0 && i + 1 < list.size()) ? i + 1 : 0;
    setSelection({list[next].id});
}

void ClipboardStore::selectPrevious()
{
    const QList<ClipboardItem> list = visibleItems();
    if (list.isEmpty())
        return;
    const int i = indexIn(list, selectedItem(list));
    const int prev = i > 0 ? i - 1 : int(list.size()) - 1;
    setSelection({list[prev].id});
}

void ClipboardStore::selectAll()
{
    QSet<QUuid> ids;
    for (const ClipboardItem &item : visibleItems())
        ids.insert(item.id);
    setSelection(ids);
}

// ---------------------------------------------------------------- editing

int ClipboardStore::indexOf(const QUuid &id) const
{
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items[i].id == id)
            return i;
    }
    return -1;
}

void ClipboardStore::persist()
{
    m_files.save(m_items, m_folders);
}

void ClipboardStore::waitForPendingWrite()
{
    m_files.waitForPendingWrite();
}

void ClipboardStore::togglePin(const QUuid &id)
{
    const int i = indexOf(id);
    if (i < 0)
        return;
    QList<ClipboardItem> items = m_items;
    items[i].pinned = !items[i].pinned;
    std::stable_sort(items.begin(), items.end(), [](const ClipboardItem &a, const ClipboardItem &b) {
        if (a.pinned != b.pinned)
            return a.pinned;
        return a.createdAt < b.createdAt;
    });
    setItems(std::move(items));
    persist();
}

void ClipboardStore::bumpToTop(const QUuid &id)
{
    const int i = indexOf(id);
    if (i < 0) {
        Log::error(QStringLiteral("Store: bumpToTop - item not found: ") + uuidText(id));
        return;
    }
    m_items[i].createdAt = nowReferenceDate();
    emit itemsChanged();
    Log::info(QStringLiteral("Store: bumped item %1 to top (updated createdAt)").arg(uuidText(id)));
    persist();
}

void ClipboardStore::updateThumbnail(const QUuid &id, const std::optional<QByteArray> &png)
{
    const int i = indexOf(id);
    if (i < 0)
        return;
    m_items[i].thumbnailPNG = png;
    emit itemsChanged();
    persist();
}

void ClipboardStore::removeUnpinnedWhere(const std::function<bool(const ClipboardItem &)> &match)
{
    QList<ClipboardItem> kept;
    kept.reserve(m_items.size());
    for (const ClipboardItem &item : std::as_const(m_items)) {
        if (item.pinned || !match(item))
            kept.append(item);
    }
    setItems(std::move(kept));
}

void ClipboardStore::deleteSelection()
{
    if (m_selection.size() > 1) {
        deleteSelectedItems();
        return;
    }
    if (m_selection.isEmpty())
        return;
    const QUuid id = *m_selection.cbegin();
    const QList<ClipboardItem> before = visibleItems();
    int k = -1;
    for (int i = 0; i < before.size(); ++i) {
        if (before[i].id == id) {
            k = i;
            break;
        }
    }
    if (k < 0)
        return;
    removeUnpinnedWhere([&id](const ClipboardItem &item) { return item.id == id; });
    persist();
    const QList<ClipboardItem> after = visibleItems();
    QSet<QUuid> next;
    if (k < after.size())
        next.insert(after[k].id);
    else if (k > 0 && k - 1 < after.size())
        next.insert(after[k - 1].id);
    setSelection(next);
}

void ClipboardStore::deleteSelectedItems()
{
    if (m_selection.isEmpty())
        return;
    const QSet<QUuid> doomed = m_selection;
    removeUnpinnedWhere([&doomed](const ClipboardItem &item) { return doomed.contains(item.id); });
    setSelection({});
    persist();
}

void ClipboardStore::clearRecents()
{
    removeUnpinnedWhere([](const ClipboardItem &item) { return !item.folderId.has_value(); });
    setSelection({});
    persist();
}

void ClipboardStore::clearAll()
{
    removeUnpinnedWhere([](const ClipboardItem &) { return true; });
    setSelection({});
    persist();
}

void ClipboardStore::clearFolder(const QUuid &id)
{
    removeUnpinnedWhere([&id](const ClipboardItem &item) { return item.folderId == id; });
    setSelection({});
    persist();
}

void ClipboardStore::createFolder(const QString &name)
{
    m_folders.append(ClipboardFolder{QUuid::createUuid(), name, nowReferenceDate()});
    emit foldersChanged();
    persist();
}

void ClipboardStore::renameFolder(const QUuid &id, const QString &name)
{
    for (ClipboardFolder &folder : m_folders) {
        if (folder.id == id) {
            folder.name = name;
            emit foldersChanged();
            persist();
            return;
        }
    }
}

void ClipboardStore::deleteFolder(const QUuid &id)
{
    bool moved = false;
    for (ClipboardItem &item : m_items) {
        if (item.folderId == id) {
            item.folderId.reset();
            moved = true;
        }
    }
    if (moved)
        emit itemsChanged();
    m_folders.removeIf([&id](const ClipboardFolder &f) { return f.id == id; });
    emit foldersChanged();
    if (m_currentFolder == id)
        setCurrentFolder(std::nullopt);
    persist();
}

void ClipboardStore::assign(const QSet<QUuid> &ids, const std::optional<ClipboardFolder> &folder)
{
    const QString targetName = folder ? folder->name : QStringLiteral("Tous");
    const QString targetTag = folder ? uuidTag(folder->id) : QStringLiteral("nil");
    Log::info(QStringLiteral("📦 ASSIGN: %1 item(s) to '%2', folder.id=%3").arg(ids.size()).arg(targetName, targetTag));
    int count = 0;
    for (int i = 0; i < m_items.size(); ++i) {
        ClipboardItem &item = m_items[i];
        if (!ids.contains(item.id))
            continue;
        Log::debug(QStringLiteral("📦 ASSIGN: Item[%1] id=%2... oldFolder=%3 → newFolder=%4")
                       .arg(i)
                       .arg(uuidTag(item.id), item.folderId ? uuidTag(*item.folderId) : QStringLiteral("nil"),
                            targetTag));
        item.folderId = folder ? std::optional<QUuid>(folder->id) : std::nullopt;
        ++count;
    }
    emit itemsChanged();
    Log::info(QStringLiteral("📦 ASSIGN: Successfully assigned %1/%2 item(s)").arg(count).arg(ids.size()));
    persist();
    Log::debug(QStringLiteral("📦 ASSIGN: persist() completed"));
}

int ClipboardStore::pruneOlderThan(double maxAgeSeconds)
{
    const double cutoff = nowReferenceDate() - maxAgeSeconds;
    const qsizetype before = m_items.size();
    const bool anyOld = std::any_of(m_items.cbegin(), m_items.cend(), [cutoff](const ClipboardItem &item) {
        return !item.pinned && item.createdAt < cutoff;
    });
    if (!anyOld)
        return 0;
    removeUnpinnedWhere([cutoff](const ClipboardItem &item) { return item.createdAt < cutoff; });
    persist();
    return int(before - m_items.size());
}
