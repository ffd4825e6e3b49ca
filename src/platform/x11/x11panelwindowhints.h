#pragma once

#include "platform/panelwindowhints.h"

// EWMH panel hints: _NET_WM_STATE above, sticky, skip taskbar and pager, and
// _NET_WM_DESKTOP "all desktops". Written as properties (read by the window
// manager when the window is mapped) and sent as client messages (for a
// window already mapped). Off xcb it does nothing.
class X11PanelWindowHints final : public PanelWindowHints
{
public:
    void apply(QWindow *window) override;
};
