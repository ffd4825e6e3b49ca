#include "overlaywindowcontroller.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>

#include "overlay/overlaypanel.h"
#include "platform/clock.h"
#include "store/clipboardstore.h"

OverlayWindowController &OverlayWindowController::shared()
{
    // Deliberately leaked: the panel lives for the whole run and must not be
    // torn down after QApplication during static destruction.
    static auto *controller = new OverlayWindowController;
    return *controller;
}

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
    m_panel->setGeometry(OverlayPanel::frameFor(QGuiApplication::primaryScreen()));
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
    if (m_hooks.rememberFrontmost)
        m_hooks.rememberFrontmost();
    if (QScreen *screen = QGuiApplication::screenAt(QCursor::pos()))
        m_panel->setGeometry(OverlayPanel::frameFor(screen));
    else if (QScreen *primary = QGuiApplication::primaryScreen())
        m_panel->setGeometry(OverlayPanel::frameFor(primary));
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
    if (m_store && m_store->selection().isEmpty()) {
        const QList<ClipboardItem> visible = m_store->visibleItems();
        if (!visible.isEmpty())
            m_store->setSelection({visible.first().id});
    }
    QPointer<OverlayPanel> panel = m_panel;
    m_clock->schedule(0.05, m_panel, [panel] {
        if (panel && panel->isVisible())
            panel->activateWindow();
    });
    installMonitors();
    emit shown();
}

void OverlayWindowController::hide()
{
    removeMonitors();
    if (m_panel)
        m_panel->hide();
    if (m_hooks.closePreview)
        m_hooks.closePreview();
    emit hidden();
}

bool OverlayWindowController::isVisible() const
{
    return m_panel && m_panel->isVisible();
}

void OverlayWindowController::choose(const ClipboardItem &item)
{
    if (m_store) {
        m_store->bumpToTop(item.id);
        m_store->suppressNextCapture();
    }
    hide();
    if (m_hooks.reactivatePrevious)
        m_hooks.reactivatePrevious();
    if (m_clock && m_hooks.paste) {
        auto paste = m_hooks.paste;
        m_clock->schedule(0.12, this, [paste, item] { paste(item); });
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
        if (m_hooks.previewAvailable && m_hooks.previewAvailable()) {
            if (m_hooks.previewVisible && m_hooks.previewVisible()) {
                if (m_hooks.closePreview)
                    m_hooks.closePreview();
            } else if (m_hooks.showPreview) {
                m_hooks.showPreview(*item);
            }
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
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QTextEdit *>(w)
            || qobject_cast<QPlainTextEdit *>(w))
            return true;
        const QString name = QString::fromLatin1(w->metaObject()->className());
        return name.contains(QLatin1String("LineEdit")) || name.contains(QLatin1String("TextEdit"))
            || name.contains(QLatin1String("TextField")) || name.contains(QLatin1String("TextInput"));
    };
    if (isTextWidget(QApplication::focusWidget()))
        return true;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && isTextWidget(window->focusWidget()))
            return true;
    }
    return false;
}

void OverlayWindowController::installMonitors()
{
    removeMonitors();
    qApp->installEventFilter(this);
    m_monitorsInstalled = true;
}

void OverlayWindowController::removeMonitors()
{
    if (!m_monitorsInstalled)
        return;
    qApp->removeEventFilter(this);
    m_monitorsInstalled = false;
}

bool OverlayWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // Each key press reaches the filter once per widget it propagates
    // through; act only on the first delivery, to the window itself or its
    // focus widget.
    auto *widget = static_cast<QWidget *>(watched);
    if (widget != QApplication::focusWidget() && !(widget->isWindow() && !QApplication::focusWidget()))
        return false;
    if (isTextInputActive())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    return handleKeyDown(key->key(), key->modifiers());
}
