#pragma once

#include <functional>

#include <QString>

// Which implementation serves each platform service in this session, and
// why: the native Wayland protocol when the session is Wayland and the
// compositor offers it, else X11 (through XWayland on a Wayland desktop).
// Decided once at start-up from what the compositor announced.
struct BackendSelection
{
    enum class Backend { X11, Wayland };
    struct Choice
    {
        Backend backend = Backend::X11;
        QString reason;
    };

    Choice clipboard;
    Choice pasteKeys;
    Choice activeWindow;

    // `waylandDisplay` is $WAYLAND_DISPLAY (empty off Wayland); `offers`
    // tells whether the compositor announced a global interface, and is
    // only called when there is a compositor.
    static BackendSelection choose(const QString &waylandDisplay, const std::function<bool(const QString &)> &offers);

    // The one start-up line naming each service's backend and the reason.
    QString logLine() const;
};
