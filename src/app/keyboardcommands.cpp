#include "keyboardcommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "store/clipboardstore.h"

KeyboardCommands::KeyboardCommands(ClipboardStore &store, std::function<void()> openSettings, QObject *parent)
    : QObject(parent)
    , m_selectAll(new QAction(QStringLiteral("Tout sélectionner"), this))
    , m_deleteSelection(new QAction(QStringLiteral("Supprimer la sélection"), this))
    , m_settings(new QAction(QStringLiteral("Réglages Bramblet…"), this))
{
    m_selectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    m_deleteSelection->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Delete), QKeySequence(Qt::CTRL | Qt::Key_Backspace)});
    m_settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_settings->setMenuRole(QAction::PreferencesRole);
    connect(m_selectAll, &QAction::triggered, &store, [&store] { store.selectAll(); });
    connect(m_deleteSelection, &QAction::triggered, &store, [&store] { store.deleteSelectedItems(); });
    connect(m_settings, &QAction::triggered, this, [openSettings = std::move(openSettings)] {
        if (openSettings)
            openSettings();
    });
}

void KeyboardCommands::populate(QMenuBar *bar, const std::function<void()> &quit)
{
    QMenu *app = bar->addMenu(QStringLiteral("Bramblet"));
    app->addAction(m_settings);
    if (quit) {
        app->addSeparator();
        QAction *quitAction = app->addAction(QStringLiteral("Quitter Bramblet"));
        quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
        connect(quitAction, &QAction::triggered, this, [quit] { quit(); });
    }
    QMenu *selection = bar->addMenu(QStringLiteral("Sélection"));
    selection->addAction(m_selectAll);
    selection->addAction(m_deleteSelection);
}

void KeyboardCommands::attachSettingsShortcut(QWidget *window)
{
    if (window && !window->actions().contains(m_settings))
        window->addAction(m_settings);
}
