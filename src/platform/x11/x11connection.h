#pragma once

#include <cstdint>

struct xcb_connection_t;

// The X connection Qt's xcb platform opened, shared by every X11 backend.
// Returns null / 0 when the program does not run on xcb (Wayland-only,
// offscreen): backends then log once and do nothing.
namespace X11Connection {

xcb_connection_t *connection();
uint32_t rootWindow();
bool available();

} // namespace X11Connection
