#include "waylandbackends.h"

#include "platform/logger.h"
#include "platform/wayland/waylandactivewindow.h"
#include "platform/wayland/waylandclipboard.h"
#include "platform/wayland/waylandconnection.h"
#include "platform/wayland/waylandvirtualkeyboard.h"

namespace {

void fellBack(BackendSelection::Choice &choice)
{
    choice.backend = BackendSelection::Backend::X11;
    choice.reason += QStringLiteral(" but could not be set up, XWayland");
}

} // namespace

WaylandBackends::WaylandBackends() = default;
WaylandBackends::~WaylandBackends() = default;

std::unique_ptr<WaylandBackends> WaylandBackends::make(QObject *parent)
{
    std::unique_ptr<WaylandBackends> b(new WaylandBackends);
    const QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!display.isEmpty())
        b->m_connection = WaylandConnection::connect();
    std::function<bool(const QString &)> offers;
    if (b->m_connection) {
        offers = [connection = b->m_connection](const QString &name) { return connection->offers(name); };
    }
    b->m_selection = BackendSelection::choose(display, offers);

    using Backend = BackendSelection::Backend;
    if (b->m_selection.clipboard.backend == Backend::Wayland) {
        b->m_clipboard = WaylandClipboard::create(b->m_connection);
        if (!b->m_clipboard)
            fellBack(b->m_selection.clipboard);
    }
    if (b->m_selection.pasteKeys.backend == Backend::Wayland) {
        // A connection of its own: a compositor that refuses virtual
        // keyboards ends the connection that asked, and must not take the
        // clipboard and the window list with it.
        b->m_input = WaylandVirtualKeyboard::create(WaylandConnection::connect());
        if (!b->m_input)
            fellBack(b->m_selection.pasteKeys);
    }
    if (b->m_selection.activeWindow.backend == Backend::Wayland) {
        b->m_activeWindow = WaylandActiveWindow::create(b->m_connection);
        if (!b->m_activeWindow)
            fellBack(b->m_selection.activeWindow);
    }
    Log::info(b->m_selection.logLine());
    return b;
}

Clipboard *WaylandBackends::clipboard() const
{
    return m_clipboard.get();
}

InputSynthesizer *WaylandBackends::inputSynthesizer() const
{
    return m_input.get();
}

ActiveWindow *WaylandBackends::activeWindow() const
{
    return m_activeWindow.get();
}
