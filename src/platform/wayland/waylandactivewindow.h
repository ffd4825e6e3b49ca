#pragma once

#include <memory>

#include "platform/activewindow.h"

class WaylandConnection;

// The active window from the wlroots foreign-toplevel protocol
// (zwlr_foreign_toplevel_manager_v1): every toplevel of the session with its
// app_id and states, the activated one being in front. The app_id names the
// application (a desktop-file id for native programs, the WM_CLASS class for
// X11 ones); our own windows, on XWayland, carry our application name and
// count as our own. Activation asks the compositor to focus the toplevel on
// our seat.
class WaylandActiveWindow final : public ActiveWindow
{
public:
    // Null when the compositor offers no foreign-toplevel manager or no seat.
    static std::unique_ptr<WaylandActiveWindow> create(std::shared_ptr<WaylandConnection> connection);
    static bool isOffered(const WaylandConnection &connection);
    ~WaylandActiveWindow() override;

    // Ids are ours, stable for a toplevel's life; wmClass and wmInstance both
    // carry the app_id so the terminal list applies to it.
    std::optional<WindowRef> frontmost() const override;
    void activate(const WindowRef &window) override;

    // Opaque state, shared with the protocol callbacks in the .cpp file.
    struct Impl;

private:
    explicit WaylandActiveWindow(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};
