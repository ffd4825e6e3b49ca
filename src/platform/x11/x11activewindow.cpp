#include "x11activewindow.h"

#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

#include "desktopidresolver.h"
#include "platform/logger.h"
#include "x11connection.h"

namespace {

xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// One CARDINAL/WINDOW value of a property, or 0.
uint32_t cardinalProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 1), nullptr);
    uint32_t value = 0;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
        value = *static_cast<uint32_t *>(xcb_get_property_value(reply));
    free(reply);
    return value;
}

} // namespace

struct X11ActiveWindow::Atoms
{
    xcb_atom_t activeWindow = XCB_ATOM_NONE;
    xcb_atom_t wmPid = XCB_ATOM_NONE;
};

X11ActiveWindow::X11ActiveWindow() : m_atoms(std::make_unique<Atoms>()), m_resolver(std::make_unique<DesktopIdResolver>())
{
    if (xcb_connection_t *c = X11Connection::connection()) {
        m_atoms->activeWindow = internAtom(c, "_NET_ACTIVE_WINDOW");
        m_atoms->wmPid = internAtom(c, "_NET_WM_PID");
    }
}

X11ActiveWindow::~X11ActiveWindow() = default;

bool X11ActiveWindow::ready() const
{
    if (X11Connection::available() && m_atoms->activeWindow != XCB_ATOM_NONE)
        return true;
    if (!m_warned) {
        m_warned = true;
        Log::info(QStringLiteral("ActiveWindow: no X11 display, active window unknown"));
    }
    return false;
}

std::optional<WindowRef> X11ActiveWindow::frontmost() const
{
    if (!ready())
        return std::nullopt;
    xcb_connection_t *c = X11Connection::connection();
    const xcb_window_t window = cardinalProperty(c, X11Connection::rootWindow(), m_atoms->activeWindow, XCB_ATOM_WINDOW);
    if (window == XCB_WINDOW_NONE)
        return std::nullopt;

    WindowRef ref;
    ref.id = window;
    xcb_icccm_get_wm_class_reply_t cls;
    if (xcb_icccm_get_wm_class_reply(c, xcb_icccm_get_wm_class(c, window), &cls, nullptr)) {
        ref.wmInstance = QString::fromLocal8Bit(cls.instance_name);
        ref.wmClass = QString::fromLocal8Bit(cls.class_name);
        xcb_icccm_get_wm_class_reply_wipe(&cls);
    }
    const uint32_t pid = cardinalProperty(c, window, m_atoms->wmPid, XCB_ATOM_CARDINAL);
    ref.isOwn = pid != 0 && pid == uint32_t(getpid());
    if (!ref.isOwn) {
        for (QWindow *own : QGuiApplication::topLevelWindows()) {
            if (own->handle() && own->winId() == window) {
                ref.isOwn = true;
                break;
            }
        }
    }
    const QString desktopId = m_resolver->resolve(ref.wmClass, ref.wmInstance);
    ref.appId = desktopId.isEmpty() ? ref.wmClass : desktopId;
    return ref;
}

void X11ActiveWindow::activate(const WindowRef &window)
{
    if (!ready() || window.id == 0)
        return;
    xcb_connection_t *c = X11Connection::connection();
    const xcb_window_t current = cardinalProperty(c, X11Connection::rootWindow(), m_atoms->activeWindow, XCB_ATOM_WINDOW);

    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window.id;
    event.type = m_atoms->activeWindow;
    // Source indication 2 (pager): window managers honour it even when
    // another window holds the focus.
    event.data.data32[0] = 2;
    event.data.data32[1] = XCB_CURRENT_TIME;
    event.data.data32[2] = current;
    xcb_send_event(c, 0, X11Connection::rootWindow(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}
