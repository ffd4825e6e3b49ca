#pragma once

#include <cstdint>

struct xcb_connection_t;

// A second X client for the hot-key tests: checks whether a key combination
// can be grabbed on the root window (it cannot while another client holds
// it) and holds grabs of its own.
class HotkeyXProbe final
{
public:
    static constexpr uint16_t kShift = 0x01, kControl = 0x04, kAlt = 0x08, kSuper = 0x40;
    static constexpr uint8_t kKeycodeV = 55, kKeycodeK = 45, kKeycodeJ = 44;

    HotkeyXProbe();
    ~HotkeyXProbe();
    HotkeyXProbe(const HotkeyXProbe &) = delete;
    HotkeyXProbe &operator=(const HotkeyXProbe &) = delete;

    bool connected() const { return m_connection != nullptr; }
    // True when nobody else holds the combination (the probe releases it again).
    bool canGrab(uint8_t keycode, uint16_t modifiers);
    // Keeps the combination until release() or destruction; false when refused.
    bool hold(uint8_t keycode, uint16_t modifiers);
    void release(uint8_t keycode, uint16_t modifiers);
    // Returns once the server has handled every request `other` sent so far
    // (one round trip on it). Requests of two clients reach the server in no
    // set order: what another connection flushed may still be waiting.
    static void catchUp(xcb_connection_t *other);

private:
    xcb_connection_t *m_connection = nullptr;
    uint32_t m_root = 0;
};
