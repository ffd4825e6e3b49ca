#include "x11compositor.h"

#include <cstdlib>
#include <string>

#include <xcb/xcb.h>

#include "x11connection.h"

namespace X11Compositor {

bool isRunning()
{
    xcb_connection_t *c = X11Connection::connection();
    if (!c)
        return false;
    // Qt uses the default screen of $DISPLAY; its number picks the selection.
    int screen = 0;
    if (const char *display = std::getenv("DISPLAY")) {
        const std::string d(display);
        const auto dot = d.rfind('.');
        const auto colon = d.rfind(':');
        if (dot != std::string::npos && colon != std::string::npos && dot > colon)
            screen = std::atoi(d.c_str() + dot + 1);
    }
    const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
    xcb_intern_atom_cookie_t ac = xcb_intern_atom(c, 1, uint16_t(name.size()), name.c_str());
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(c, ac, nullptr);
    if (!atom)
        return false;
    const xcb_atom_t selection = atom->atom;
    free(atom);
    if (selection == XCB_ATOM_NONE)
        return false; // nobody ever created the atom, so nobody owns it
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    if (!owner)
        return false;
    const bool running = owner->owner != XCB_NONE;
    free(owner);
    return running;
}

} // namespace X11Compositor
