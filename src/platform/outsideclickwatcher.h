#pragma once

#include <functional>

#include <QPoint>

// Reports mouse button presses anywhere on the desktop, including in other
// programs' windows, while started. Main thread.
class OutsideClickWatcher
{
public:
    // Called with the pointer position (global, device-independent pixels).
    using Handler = std::function<void(const QPoint &globalPos)>;

    virtual ~OutsideClickWatcher() = default;
    OutsideClickWatcher() = default;
    OutsideClickWatcher(const OutsideClickWatcher &) = delete;
    OutsideClickWatcher &operator=(const OutsideClickWatcher &) = delete;

    // Starts reporting presses to `handler`, replacing a previous handler.
    // Returns false when the desktop offers no way to see presses in other
    // windows; nothing is reported then.
    virtual bool start(Handler handler) = 0;
    // Stops reporting; does nothing when not started.
    virtual void stop() = 0;
    virtual bool isWatching() const = 0;
};
