#pragma once

#include <optional>

#include <QList>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include "model/clipboardfolder.h"
#include "overlay/foldernamepopover.h"

class Clock;
class ClipboardStore;
class FolderChip;

class QHBoxLayout;
class QMenu;
class QMimeData;
class RoundIconButton;
class SearchTextField;

// The top row of the overlay: the search button, then either the search
// field (while the store's searchActive holds) or the chips — "Presse-papiers
// récents" (clips in no folder), one chip per folder in the palette's colour,
// and "+" to create a folder. A chip click sets the store's current folder;
// a folder chip's menu renames, empties or deletes it; every chip takes card
// drops (FolderDropHandler). An emptied search query closes the search.
// Main thread only.
class FolderChipsBar final : public QWidget
{
    Q_OBJECT

public:
    static constexpr double kFocusDelaySeconds = 0.1;

    // `store` and `clock` must outlive the bar.
    FolderChipsBar(ClipboardStore &store, Clock &clock, QWidget *parent = nullptr);
    ~FolderChipsBar() override;

    // The search button's action: flips searchActive; opening focuses the
    // field 0.1 s later, closing empties the query.
    void toggleSearch();
    // Opens the new-folder popover ("+").
    void beginAdding();
    // Opens the rename popover for `folder`.
    void beginRenaming(const ClipboardFolder &folder);
    // The folder chip's context menu (caller owns it).
    QMenu *createFolderMenu(const ClipboardFolder &folder, QWidget *parent = nullptr);
    // Runs a drop on the chip of `folderId` (none: the recents chip).
    bool dropOn(const std::optional<QUuid> &folderId, const QMimeData *mime);

    // --- state, for the views and tests ---
    bool isAdding() const { return m_adding; }
    std::optional<ClipboardFolder> renaming() const { return m_renaming; }
    bool searchFocused() const { return m_searchFocused; }
    bool isTargetedRecent() const { return m_isTargetedRecent; }
    std::optional<QUuid> targetedFolderID() const { return m_targetedFolderID; }
    FolderNamePopover *popover() const { return m_popover; }
    SearchTextField *searchField() const { return m_searchField; }
    RoundIconButton *searchButton() const { return m_searchButton; }
    RoundIconButton *addButton() const { return m_addButton; }
    FolderChip *recentsChip() const { return m_recentsChip; }
    QList<FolderChip *> folderChips() const { return m_folderChips; }

private:
    void rebuildChips();
    void updateSelection();
    void onSearchActiveChanged();
    void onSearchQueryChanged();
    void setSearchFocused(bool focused);
    void openPopover(FolderNamePopover *popover);

    ClipboardStore &m_store;
    Clock &m_clock;
    QHBoxLayout *m_row;
    RoundIconButton *m_searchButton;
    SearchTextField *m_searchField;
    FolderChip *m_recentsChip;
    QList<FolderChip *> m_folderChips;
    RoundIconButton *m_addButton;
    QPointer<FolderNamePopover> m_popover;

    bool m_adding = false;
    std::optional<ClipboardFolder> m_renaming;
    bool m_searchFocused = false;
    bool m_isTargetedRecent = false;
    std::optional<QUuid> m_targetedFolderID;
};
