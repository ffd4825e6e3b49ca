#pragma once

// Whether a compositing manager runs on Qt's X display (it owns the
// _NET_WM_CM_S<screen> selection). False when not on xcb or on any X error.
// Asked anew on every call: a compositor can start or stop at any time.
namespace X11Compositor {

bool isRunning();

} // namespace X11Compositor
