#pragma once

#include <functional>

class QObject;

// Wall-clock time and delayed work on the main thread. Logic takes a Clock so
// tests drive time with FakeClock instead of sleeping.
class Clock
{
public:
    using TimerId = int;

    virtual ~Clock() = default;
    Clock() = default;
    Clock(const Clock &) = delete;
    Clock &operator=(const Clock &) = delete;

    // Seconds since 1970-01-01 UTC, with fraction.
    virtual double now() const = 0;

    // Runs `fn` on the main thread after `seconds` (repeatedly when `repeating`),
    // never after `context` is destroyed. Returns an id for cancel().
    virtual TimerId schedule(double seconds, QObject *context, std::function<void()> fn,
                             bool repeating = false) = 0;

    // Stops a scheduled call; unknown or finished ids are ignored.
    virtual void cancel(TimerId id) = 0;
};
