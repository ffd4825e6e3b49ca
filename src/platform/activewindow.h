#pragma once

#include <optional>

#include "platform/windowref.h"

// The desktop's active (frontmost) window and its activation. Main thread.
class ActiveWindow
{
public:
    virtual ~ActiveWindow() = default;
    ActiveWindow() = default;
    ActiveWindow(const ActiveWindow &) = delete;
    ActiveWindow &operator=(const ActiveWindow &) = delete;

    // The window the window manager reports as active; empty when there is
    // none or the desktop cannot tell.
    virtual std::optional<WindowRef> frontmost() const = 0;
    // Asks the window manager to raise and focus `window`. Asynchronous: the
    // window becomes frontmost a little later, or never when it is gone.
    virtual void activate(const WindowRef &window) = 0;
};
