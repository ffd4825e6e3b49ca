#include "overlaywindowcontroller.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include "overlay/overlaypanel.h"
#include "overlay/overlayrootview.h"
#include "platform/activewindow.h"
#include "platform/clock.h"
#include "platform/outsideclickwatcher.h"
#include "platform/panelwindowhints.h"
#include "store/clipboardstore.h"

OverlayWindowController::OverlayWindowController(QObject *parent)
    : QObject(parent)
{
}

OverlayWindowController::~OverlayWindowController()
{
    removeMonitors();
    delete m_panel.data();
}

void OverlayWindowController::buildPanel(ClipboardStore &store, Clock &clock)
{
    if (m_panel)
        return;
    m_store = &store;
    m_clock = &clock;
    m_panel = new OverlayPanel;
    m_root = new OverlayRootView(store, clock);
    m_root->setChooseHandler([this](const ClipboardItem &item) { choose(item); });
    m_panel->setContent(m_root);
    m_panel->setGeometry(OverlayPanel::frameFor(QGuiApplication::primaryScreen()));
    connect(m_panel, &OverlayPanel::deactivated, this, &OverlayWindowController::onPanelDeactivated);
    // Closed from outside (a window-manager close): the watches go with it.
    connect(m_panel, &OverlayPanel::closed, this, &OverlayWindowController::removeMonitors);
    m_panel->winId(); // the native window exists from now on, for the hints
    if (m_hints)
        m_hints->apply(m_panel->windowHandle());
}

void OverlayWindowController::setWindowHints(PanelWindowHints *hints)
{
    m_hints = hints;
    if (m_hints && m_panel)
        m_hints->apply(m_panel->windowHandle());
}

void OverlayWindowController::toggle()
{
    if (!m_panel)
        return;
    if (isVisible())
        hide();
    else
        show();
}

void OverlayWindowController::show()
{
    if (!m_panel || isVisible())
        return;
    m_lastActiveWindow = m_activeWindow ? m_activeWindow->frontmost() : std::nullopt;

    if (QScreen *screen = QGuiApplication::screenAt(QCursor::pos()))
        m_panel->setGeometry(OverlayPanel::frameFor(screen));
    else if (QScreen *primary = QGuiApplication::primaryScreen())
        m_panel->setGeometry(OverlayPanel::frameFor(primary));
    m_panel->show();
    if (m_hints)
        m_hints->apply(m_panel->windowHandle());
    m_panel->raise();
    m_panel->activateWindow();

    if (m_store->selection().isEmpty()) {
        const QList<ClipboardItem> visible = m_store->visibleItems();
        if (!visible.isEmpty())
            m_store->setSelection({visible.first().id});
    }
    // Some window managers hand the focus over only once the window is mapped.
    QPointer<OverlayPanel> panel = m_panel;
    m_clock->schedule(kKeyDelaySeconds, m_panel, [panel] {
        if (panel && panel->isVisible()) {
            panel->raise();
            panel->activateWindow();
        }
    });
    installMonitors();
    emit shown();
}

void OverlayWindowController::hide()
{
    removeMonitors();
    if (m_panel)
        m_panel->hide();
    if (m_preview.close)
        m_preview.close();
    emit hidden();
}

bool OverlayWindowController::isVisible() const
{
    return m_panel && m_panel->isVisible();
}

void OverlayWindowController::choose(const ClipboardItem &item)
{
    if (!m_store)
        return;
    m_store->bumpToTop(item.id);
    m_store->suppressNextCapture();
    hide();
    if (m_lastActiveWindow && m_activeWindow)
        m_activeWindow->activate(*m_lastActiveWindow);
    if (m_paste) {
        auto paste = m_paste;
        m_clock->schedule(kPasteDelaySeconds, this, [paste, item] { paste(item); });
    }
}

bool OverlayWindowController::wouldHandle(int key, Qt::KeyboardModifiers modifiers) const
{
    if (!m_store)
        return false;
    const bool command = modifiers & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return !m_store->visibleItems().isEmpty();
    case Qt::Key_Space:
        return m_store->selectedItem(m_store->visibleItems()).has_value();
    case Qt::Key_A:
    case Qt::Key_F:
        return command;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

bool OverlayWindowController::handleKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (!m_store)
        return false;
    const bool command = modifiers & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QList<ClipboardItem> visible = m_store->visibleItems();
        std::optional<ClipboardItem> item = m_store->selectedItem(visible);
        if (!item && !visible.isEmpty())
            item = visible.first();
        if (!item)
            return false;
        choose(*item);
        return true;
    }
    case Qt::Key_Space: {
        const std::optional<ClipboardItem> item = m_store->selectedItem(m_store->visibleItems());
        if (!item)
            return false;
        if (m_preview.isVisible && m_preview.isVisible()) {
            if (m_preview.close)
                m_preview.close();
        } else if (m_preview.show) {
            m_preview.show(*item);
        }
        return true;
    }
    case Qt::Key_A:
        if (!command)
            return false;
        m_store->selectAll();
        return true;
    case Qt::Key_F:
        if (!command)
            return false;
        m_store->setSearchActive(!m_store->searchActive());
        return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        m_store->deleteSelection();
        return true;
    case Qt::Key_Left:
        m_store->selectPrevious();
        return true;
    case Qt::Key_Right:
        m_store->selectNext();
        return true;
    case Qt::Key_Escape:
        if (!m_store->searchQuery().isEmpty())
            m_store->setSearchQuery(QString());
        else
            hide();
        return true;
    default:
        return false;
    }
}

bool OverlayWindowController::isTextInputActive()
{
    const auto isTextWidget = [](QWidget *w) {
        if (!w)
            return false;
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QTextEdit *>(w) || qobject_cast<QPlainTextEdit *>(w))
            return true;
        const QString name = QString::fromLatin1(w->metaObject()->className());
        return name.contains(QLatin1String("LineEdit")) || name.contains(QLatin1String("TextEdit"))
            || name.contains(QLatin1String("TextField")) || name.contains(QLatin1String("TextInput"));
    };
    if (isTextWidget(QApplication::focusWidget()))
        return true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [&](QWidget *window) { return window->isVisible() && isTextWidget(window->focusWidget()); });
}

void OverlayWindowController::installMonitors()
{
    removeMonitors();
    qApp->installEventFilter(this);
    if (m_clickWatcher)
        m_watchingClicks = m_clickWatcher->start([this](const QPoint &pos) { handleOutsidePress(pos); });
    m_monitorsInstalled = true;
}

void OverlayWindowController::removeMonitors()
{
    if (!m_monitorsInstalled)
        return;
    qApp->removeEventFilter(this);
    if (m_clickWatcher && m_watchingClicks)
        m_clickWatcher->stop();
    m_watchingClicks = false;
    m_monitorsInstalled = false;
}

void OverlayWindowController::handleOutsidePress(const QPoint &globalPos)
{
    if (!isVisible())
        return;
    if (m_panel->frameGeometry().contains(globalPos))
        return;
    // Our own popovers, menus and the preview are not "another program".
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() && window->frameGeometry().contains(globalPos))
            return;
    }
    hide();
}

void OverlayWindowController::onPanelDeactivated()
{
    if (!m_monitorsInstalled || m_watchingClicks)
        return;
    // Without a click watch, losing the focus to another program counts as
    // a click outside. Our own windows taking the focus do not; the new
    // active window is known only once the event loop has moved on.
    QTimer::singleShot(0, this, [this] {
        if (m_monitorsInstalled && !QApplication::activeWindow() && !QApplication::activePopupWidget())
            hide();
    });
}

bool OverlayWindowController::eventFilter(QObject *, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyRelease) {
        m_decidedKey = nullptr;
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    // A key passes the filter again at every widget it propagates to. Only
    // its first stop decides: a text field may close (a popover confirmed by
    // Return) and hand the focus back to the panel before the event reaches
    // the next stop, which must not then run the panel's command too.
    if (event == m_decidedKey && type == m_decidedType)
        return false;
    m_decidedKey = event;
    m_decidedType = type;
    if (isTextInputActive())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (type == QEvent::ShortcutOverride) {
        // Claim our keys before any window shortcut takes them.
        if (!wouldHandle(key->key(), key->modifiers()))
            return false;
        event->accept();
        return true;
    }
    return handleKeyDown(key->key(), key->modifiers());
}
