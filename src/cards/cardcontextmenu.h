#pragma once

class ClipboardStore;
class QMenu;
class QWidget;
struct ClipboardItem;

// The card's context menu. Main thread only.
namespace CardContextMenu {

// "Épingler"/"Désépingler", "Déplacer vers…" ("Tous", then the store's
// folders in order) and "Supprimer". Moving acts on every selected clip when
// this clip is selected, else on this clip only; "Supprimer" on an unselected
// card first makes it the only selection. The actions call `store` when
// triggered (nothing once it is gone) and hold the clip's id, not the record.
// The caller owns the menu (exec() it, then delete).
QMenu *create(ClipboardStore &store, const ClipboardItem &item, QWidget *parent = nullptr);

} // namespace CardContextMenu
