#pragma once

#include <functional>

#include <QObject>

class ClipboardStore;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The program's menu commands: "Sélection" with "Tout sélectionner" (Ctrl+A,
// the store's selectAll) and "Supprimer la sélection" (Ctrl+Delete, the
// store's deleteSelectedItems), followed by "Réglages Bramblet…" (Ctrl+,)
// which opens the settings. None is ever disabled. Main thread only.
class KeyboardCommands final : public QObject
{
    Q_OBJECT

public:
    KeyboardCommands(ClipboardStore &store, std::function<void()> openSettings, QObject *parent = nullptr);

    QAction *selectAllAction() const { return m_selectAll; }
    QAction *deleteSelectionAction() const { return m_deleteSelection; }
    QAction *settingsAction() const { return m_settings; }

    // Fills `bar` with the "Bramblet" menu (the settings command, then
    // "Quitter Bramblet" when `quit` is given) and the "Sélection" menu.
    void populate(QMenuBar *bar, const std::function<void()> &quit = {});
    // Makes the settings shortcut work while `window` is active.
    void attachSettingsShortcut(QWidget *window);

private:
    QAction *m_selectAll;
    QAction *m_deleteSelection;
    QAction *m_settings;
};
