#include "waylandbackends.h"

#include "platform/activewindow.h"
#include "platform/clipboard.h"
#include "platform/inputsynthesizer.h"
#include "platform/wayland/waylandactivewindow.h"
#include "platform/wayland/waylandclipboard.h"
#include "platform/wayland/waylandconnection.h"
#include "platform/wayland/waylandvirtualkeyboard.h"

namespace WaylandBackends {

namespace {

void fellBack(BackendSelection::Choice &choice)
{
    choice.backend = BackendSelection::Backend::X11;
    choice.reason += QStringLiteral(" but could not be set up, XWayland");
}

} // namespace

Made::Made() = default;
Made::~Made() = default;
Made::Made(Made &&) noexcept = default;
Made &Made::operator=(Made &&) noexcept = default;

Made make()
{
    Made made;
    const QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    std::shared_ptr<WaylandConnection> connection;
    if (!display.isEmpty())
        connection = WaylandConnection::connect();
    std::function<bool(const QString &)> offers;
    if (connection)
        offers = [connection](const QString &name) { return connection->offers(name); };
    made.selection = BackendSelection::choose(display, offers);

    using Backend = BackendSelection::Backend;
    if (made.selection.clipboard.backend == Backend::Wayland) {
        made.clipboard = WaylandClipboard::create(connection);
        if (!made.clipboard)
            fellBack(made.selection.clipboard);
    }
    if (made.selection.pasteKeys.backend == Backend::Wayland) {
        // A connection of its own: a compositor that refuses virtual
        // keyboards ends the connection that asked, and must not take the
        // clipboard and the window list with it.
        made.input = WaylandVirtualKeyboard::create(WaylandConnection::connect());
        if (!made.input)
            fellBack(made.selection.pasteKeys);
    }
    if (made.selection.activeWindow.backend == Backend::Wayland) {
        made.activeWindow = WaylandActiveWindow::create(connection);
        if (!made.activeWindow)
            fellBack(made.selection.activeWindow);
    }
    return made;
}

} // namespace WaylandBackends
