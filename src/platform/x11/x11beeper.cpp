#include "x11beeper.h"

#include <xcb/xcb.h>

#include "x11connection.h"

void X11Beeper::beep()
{
    if (xcb_connection_t *c = X11Connection::connection()) {
        xcb_bell(c, 0);
        xcb_flush(c);
    }
}
