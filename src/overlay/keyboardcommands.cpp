#include "keyboardcommands.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "store/clipboardstore.h"

KeyboardCommands::KeyboardCommands(ClipboardStore &store, QObject *parent)
    : QObject(parent)
    , m_menu(new QMenu(QStringLiteral("Sélection")))
    , m_selectAll(new QAction(QStringLiteral("Tout sélectionner"), this))
    , m_deleteSelection(new QAction(QStringLiteral("Supprimer la sélection"), this))
{
    m_selectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    m_deleteSelection->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Backspace));
    m_selectAll->setShortcutContext(Qt::WindowShortcut);
    m_deleteSelection->setShortcutContext(Qt::WindowShortcut);
    connect(m_selectAll, &QAction::triggered, &store, &ClipboardStore::selectAll);
    connect(m_deleteSelection, &QAction::triggered, &store, &ClipboardStore::deleteSelectedItems);
    m_menu->addAction(m_selectAll);
    m_menu->addAction(m_deleteSelection);
}

KeyboardCommands::~KeyboardCommands()
{
    delete m_menu;
}

void KeyboardCommands::attachTo(QWidget *window)
{
    window->addAction(m_selectAll);
    window->addAction(m_deleteSelection);
}
