#pragma once

#include "platform/panelwindowhints.h"

// EWMH hints for our windows. A floating panel: _NET_WM_STATE above, sticky,
// skip taskbar and pager, and _NET_WM_DESKTOP "all desktops". An accessory
// window (settings): skip taskbar and pager only, since the program keeps no
// taskbar presence. Written as properties (read by the window manager when the
// window is mapped) and sent as client messages (for a window already
// mapped). Off xcb it does nothing.
class X11PanelWindowHints final : public PanelWindowHints
{
public:
    enum class Kind { Panel, Accessory };
    explicit X11PanelWindowHints(Kind kind = Kind::Panel) : m_kind(kind) {}

    void apply(QWindow *window) override;

private:
    Kind m_kind;
};
