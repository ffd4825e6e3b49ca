#include "x11panelwindowhints.h"

#include <cstdlib>

#include <QWindow>

#include <xcb/xcb.h>

#include "platform/x11/x11connection.h"

namespace {

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    auto cookie = xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

void sendToRoot(xcb_connection_t *c, xcb_window_t window, xcb_atom_t type, const uint32_t (&data)[5])
{
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    for (int i = 0; i < 5; ++i)
        event.data.data32[i] = data[i];
    xcb_send_event(c, 0, X11Connection::rootWindow(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
}

} // namespace

void X11PanelWindowHints::apply(QWindow *window)
{
    xcb_connection_t *c = X11Connection::connection();
    if (!c || !window)
        return;
    const xcb_window_t id = xcb_window_t(window->winId());
    const xcb_atom_t netWmState = atom(c, "_NET_WM_STATE");
    const xcb_atom_t netWmDesktop = atom(c, "_NET_WM_DESKTOP");
    const bool panel = m_kind == Kind::Panel;
    const xcb_atom_t skipTaskbar = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t skipPager = atom(c, "_NET_WM_STATE_SKIP_PAGER");
    QList<xcb_atom_t> states{skipTaskbar, skipPager};
    if (panel)
        states << atom(c, "_NET_WM_STATE_ABOVE") << atom(c, "_NET_WM_STATE_STICKY");
    constexpr uint32_t allDesktops = 0xFFFFFFFF;

    // Merge with what Qt already wrote rather than replace it.
    QList<xcb_atom_t> merged;
    auto cookie = xcb_get_property(c, 0, id, netWmState, XCB_ATOM_ATOM, 0, 64);
    if (xcb_get_property_reply_t *reply = xcb_get_property_reply(c, cookie, nullptr)) {
        const auto *existing = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            merged.append(existing[i]);
        std::free(reply);
    }
    for (xcb_atom_t s : states) {
        if (s != XCB_ATOM_NONE && !merged.contains(s))
            merged.append(s);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, netWmState, XCB_ATOM_ATOM, 32,
                        uint32_t(merged.size()), merged.constData());
    if (panel)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, netWmDesktop, XCB_ATOM_CARDINAL, 32, 1, &allDesktops);

    // A mapped window ignores property writes; ask the window manager instead.
    constexpr uint32_t add = 1, sourceApplication = 1;
    for (qsizetype i = 0; i < states.size(); i += 2)
        sendToRoot(c, id, netWmState, {add, states[i], states[i + 1], sourceApplication, 0});
    if (panel)
        sendToRoot(c, id, netWmDesktop, {allDesktops, sourceApplication, 0, 0, 0});
    xcb_flush(c);
}
