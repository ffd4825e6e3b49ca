#include "settingswindowcontroller.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include "cdsettingsrootview.h"
#include "keyboardcommands.h"
#include "platform/logger.h"
#include "shellstyle.h"

SettingsWindowController::SettingsWindowController(ShellContext &context, KeyboardCommands *commands, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_commands(commands)
{
}

SettingsWindowController::~SettingsWindowController()
{
    delete m_window.data();
}

void SettingsWindowController::show()
{
    if (m_window) {
        m_window->show();
        if (m_context.applyAccessoryHints)
            m_context.applyAccessoryHints(m_window->windowHandle());
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    auto *window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(QStringLiteral("BrambletSettings"));
    window->setWindowTitle(QStringLiteral("Réglages Bramblet"));
    ShellStyle::applyDarkPalette(window);
    window->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (m_commands) {
        auto *bar = new QMenuBar(window);
        bar->setStyleSheet(QStringLiteral(
            "QMenuBar { background: #1e1e1e; color: rgb(235,235,240); border-bottom: 1px solid rgba(255,255,255,24); }"
            "QMenuBar::item:selected { background: rgba(255,255,255,30); }"
            "QMenu { background: #2a2a2c; color: rgb(235,235,240); border: 1px solid rgba(255,255,255,40); }"
            "QMenu::item:selected { background: rgb(10,132,255); color: white; }"));
        m_commands->populate(bar, m_context.quit);
        layout->setMenuBar(bar);
    }
    m_root = new CDSettingsRootView(m_context, window);
    layout->addWidget(m_root);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->adjustSize();
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    m_window = window;
    if (m_context.applyAccessoryHints) {
        // Once on the unmapped window, which the window manager reads when it
        // maps it, and once more after, for a manager that rewrote the state.
        window->winId();
        m_context.applyAccessoryHints(window->windowHandle());
    }
    window->show();
    if (m_context.applyAccessoryHints)
        m_context.applyAccessoryHints(window->windowHandle());
    window->raise();
    window->activateWindow();
    Log::debug(QStringLiteral("Settings: window shown"));
}
