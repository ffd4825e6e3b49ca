#include "x11connection.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace X11Connection {

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

uint32_t rootWindow()
{
    xcb_connection_t *c = connection();
    if (!c)
        return 0;
    const xcb_setup_t *setup = xcb_get_setup(c);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    // Qt opens the default screen; with one screen per display this is it.
    return it.rem ? it.data->root : 0;
}

bool available() { return connection() != nullptr; }

} // namespace X11Connection
