#pragma once

#include <QObject>

class ClipboardStore;
class QAction;
class QMenu;
class QWidget;

// The "Sélection" commands: "Tout sélectionner" (Ctrl+A, the store's
// selectAll()) and "Supprimer la sélection" (Ctrl+Backspace, the store's
// deleteSelectedItems()). Never disabled. The menu can be shown in any menu
// of the program; attachTo() makes the shortcuts work inside a window (the
// overlay panel, whose own key handling takes Ctrl+A and Backspace first).
// Main thread only.
class KeyboardCommands final : public QObject
{
    Q_OBJECT

public:
    // `store` must outlive the commands.
    explicit KeyboardCommands(ClipboardStore &store, QObject *parent = nullptr);
    ~KeyboardCommands() override;

    // The "Sélection" menu holding both actions (owned by the commands).
    QMenu *menu() const { return m_menu; }
    QAction *selectAllAction() const { return m_selectAll; }
    QAction *deleteSelectionAction() const { return m_deleteSelection; }

    // Adds both actions to `window` with window-wide shortcuts.
    void attachTo(QWidget *window);

private:
    QMenu *m_menu;
    QAction *m_selectAll;
    QAction *m_deleteSelection;
};
