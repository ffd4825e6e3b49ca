#pragma once

#include <memory>

#include "platform/activewindow.h"

class DesktopIdResolver;

// The active window from the root's _NET_ACTIVE_WINDOW; activation with a
// _NET_ACTIVE_WINDOW client message (sent as a pager would, so the window
// manager's focus-stealing prevention lets it through). Off xcb it reports no
// window and activates nothing, logging that once.
class X11ActiveWindow final : public ActiveWindow
{
public:
    X11ActiveWindow();
    ~X11ActiveWindow() override;

    std::optional<WindowRef> frontmost() const override;
    void activate(const WindowRef &window) override;

private:
    struct Atoms;
    bool ready() const;

    std::unique_ptr<Atoms> m_atoms;
    std::unique_ptr<DesktopIdResolver> m_resolver;
    mutable bool m_warned = false;
};
