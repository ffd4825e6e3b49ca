#pragma once

#include <memory>
#include <optional>

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

#include "model/clipboarditem.h"
#include "model/clipboardfolder.h"

#include "store/capturesource.h"
class Clock;
class HistoryFiles;
class SoundPlayer;
class UserDefaults;

// The one owner of the clipboard history while the program runs: clips,
// folders, selection and the overlay's view state, with every operation on
// them. Each published field has a change signal emitted on every assignment.
// Operations report no errors: unknown ids are ignored, pinned clips are never
// deleted. Every change to items or folders is handed at once to the files'
// background writer; nothing here waits for the disk. Main thread only.
class ClipboardStore final : public QObject
{
    Q_OBJECT

public:
    // Loads the history from `files`, then installs its callbacks on `watcher`
    // (may be null) and starts it. The collaborators must outlive the store.
    ClipboardStore(HistoryFiles &files, Clock &clock, UserDefaults &defaults, SoundPlayer &sound,
                   std::unique_ptr<CaptureSource> watcher = nullptr, QObject *parent = nullptr);
    // Waits for the pending write.
    ~ClipboardStore() override;

    // --- published state ---
    const QList<ClipboardItem> &items() const { return m_items; }
    const QList<ClipboardFolder> &folders() const { return m_folders; }
    const QSet<QUuid> &selection() const { return m_selection; }
    void setSelection(const QSet<QUuid> &selection);
    std::optional<QUuid> currentFolder() const { return m_currentFolder; }
    void setCurrentFolder(std::optional<QUuid> folder);
    bool suppressAutoScrollOnce() const { return m_suppressAutoScrollOnce; }
    void setSuppressAutoScrollOnce(bool on);
    QString searchQuery() const { return m_searchQuery; }
    void setSearchQuery(const QString &query);
    bool searchActive() const { return m_searchActive; }
    void setSearchActive(bool active);

    // --- intake ---
    // The watcher's onNewItem: drops a repeat of the last inserted content,
    // otherwise inserts at the front, decides the copy sound and writes. The
    // content is hashed here unless the item carries its signature memo.
    void insert(const ClipboardItem &item);
    // The watcher's veto, asked before a capture is scheduled.
    bool shouldIgnore(qint64 changeCount);
    // Our own next clipboard write must not come back as a clip. The flag
    // lapses after kSuppressLapseSeconds so it cannot swallow a later real copy.
    void suppressNextCapture();
    // Withdraws a suppressNextCapture() whose write never happened.
    void cancelSuppressedCapture();
    bool isCaptureSuppressed() const;
    static constexpr double kSuppressLapseSeconds = 1.5;
    // Clips larger than this are refused with an error line.
    static constexpr qsizetype kMaxClipBytes = qsizetype(256) * 1024 * 1024;

    // --- what the overlay shows ---
    // Current folder (none = clips without folder), then the search filter on
    // the preview (full Unicode lower-casing), newest first, stable.
    QList<ClipboardItem> visibleItems() const;
    std::optional<ClipboardItem> selectedItem(const QList<ClipboardItem> &in) const;
    void selectNext();
    void selectPrevious();
    void selectAll();

    // --- editing ---
    void togglePin(const QUuid &id);
    void bumpToTop(const QUuid &id);
    void updateThumbnail(const QUuid &id, const std::optional<QByteArray> &png);
    void deleteSelection();
    void deleteSelectedItems();
    void clearRecents();
    void clearAll();
    void clearFolder(const QUuid &id);
    void createFolder(const QString &name);
    void renameFolder(const QUuid &id, const QString &name);
    void deleteFolder(const QUuid &id);
    // Moves the clips with these ids into `folder`, or to the recents when none.
    void assign(const QSet<QUuid> &ids, const std::optional<ClipboardFolder> &folder);
    // Removes unpinned clips created more than `maxAgeSeconds` ago; one write
    // when anything went. Returns how many clips were removed.
    int pruneOlderThan(double maxAgeSeconds);

    // Hands the lists in memory to the background writer of both history
    // files; returns without waiting for the disk.
    void persist();
    // Returns once every change so far is on disk (or its write failed and
    // was logged). Called at quit.
    void waitForPendingWrite();

    // Lower-case hex SHA-256 over the kind's raw value, a zero byte and `raw`.
    static QString signature(ClipKind kind, const QByteArray &raw);

    // Current time in history-file form (seconds since 2001).
    double nowReferenceDate() const;

signals:
    void itemsChanged();
    void foldersChanged();
    void selectionChanged();
    void currentFolderChanged();
    void suppressAutoScrollOnceChanged();
    void searchQueryChanged();
    void searchActiveChanged();

private:
    void setItems(QList<ClipboardItem> items);
    int indexOf(const QUuid &id) const;
    void removeUnpinnedWhere(const std::function<bool(const ClipboardItem &)> &match);
    void playCopySound();

    HistoryFiles &m_files;
    Clock &m_clock;
    UserDefaults &m_defaults;
    SoundPlayer &m_sound;
    std::unique_ptr<CaptureSource> m_watcher;

    QList<ClipboardItem> m_items;
    QList<ClipboardFolder> m_folders;
    QSet<QUuid> m_selection;
    std::optional<QUuid> m_currentFolder;
    bool m_suppressAutoScrollOnce = false;
    QString m_searchQuery;
    bool m_searchActive = false;

    bool m_ignoreNextCapture = false;
    double m_ignoreSetAt = 0;
    double m_lastSoundAt = 0;
    std::optional<QString> m_lastClipHash;

    struct LowerPreview {
        const QChar *source = nullptr;
        qsizetype size = -1;
        QString lower;
    };
    const QString &lowerPreview(const ClipboardItem &item) const;
    mutable QHash<QUuid, LowerPreview> m_lowerPreviews;
    mutable QList<QString> m_lowerByIndex; // folded preview of m_items[i]
};
