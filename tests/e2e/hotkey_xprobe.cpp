#include "hotkey_xprobe.h"

#include <cstdlib>

#include <xcb/xcb.h>

HotkeyXProbe::HotkeyXProbe()
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return;
    }
    m_connection = c;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

HotkeyXProbe::~HotkeyXProbe()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool HotkeyXProbe::hold(uint8_t keycode, uint16_t modifiers)
{
    const xcb_void_cookie_t cookie = xcb_grab_key_checked(m_connection, 1, m_root, modifiers, keycode,
                                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
        free(error);
        return false;
    }
    return true;
}

void HotkeyXProbe::catchUp(xcb_connection_t *other)
{
    free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
}

void HotkeyXProbe::release(uint8_t keycode, uint16_t modifiers)
{
    xcb_ungrab_key(m_connection, keycode, m_root, modifiers);
    // So the release is done before the caller goes on.
    catchUp(m_connection);
}

bool HotkeyXProbe::canGrab(uint8_t keycode, uint16_t modifiers)
{
    if (!hold(keycode, modifiers))
        return false;
    release(keycode, modifiers);
    return true;
}
