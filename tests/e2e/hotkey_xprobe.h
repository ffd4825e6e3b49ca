#pragma once

#include <cstdint>
#include <cstdlib>

#include <xcb/xcb.h>

// A second X client for the hot-key test: checks whether a key combination
// can be grabbed on the root window (it cannot while another client holds
// it) and holds grabs of its own.
class HotkeyXProbe final
{
public:
    static constexpr uint16_t kShift = 0x01, kControl = 0x04, kAlt = 0x08, kSuper = 0x40;
    static constexpr uint8_t kKeycodeV = 55, kKeycodeK = 45;

    HotkeyXProbe() : m_connection(xcb_connect(nullptr, nullptr))
    {
        if (connected())
            m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~HotkeyXProbe() { xcb_disconnect(m_connection); }
    HotkeyXProbe(const HotkeyXProbe &) = delete;
    HotkeyXProbe &operator=(const HotkeyXProbe &) = delete;

    bool connected() const { return !xcb_connection_has_error(m_connection); }

    // Keeps the combination until release() or destruction; false when refused.
    bool hold(uint8_t keycode, uint16_t modifiers)
    {
        xcb_generic_error_t *error = xcb_request_check(
            m_connection, xcb_grab_key_checked(m_connection, 1, m_root, modifiers, keycode, XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }

    void release(uint8_t keycode, uint16_t modifiers)
    {
        xcb_ungrab_key(m_connection, keycode, m_root, modifiers);
        // One round trip: the release is done before the caller goes on.
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    // True when nobody else holds the combination (the probe releases it again).
    bool canGrab(uint8_t keycode, uint16_t modifiers)
    {
        if (!hold(keycode, modifiers))
            return false;
        release(keycode, modifiers);
        return true;
    }


private:
    xcb_connection_t *m_connection;
    uint32_t m_root = 0;
};
