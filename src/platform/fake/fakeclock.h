#pragma once

#include <map>

#include <QPointer>

#include "platform/clock.h"

// A Clock whose time moves only through advance(). Due calls run in time
// order (ties in scheduling order) inside advance(), on the calling thread.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(double start = 1'700'000'000.0);

    double now() const override { return m_now; }
    TimerId schedule(double seconds, QObject *context, std::function<void()> fn,
                     bool repeating = false) override;
    void cancel(TimerId id) override;

    // Moves time forward by `seconds`, running every call that falls due.
    void advance(double seconds);
    // Sets the time without running anything (for wall-clock jumps).
    void setNow(double now) { m_now = now; }
    // Number of calls still scheduled.
    int pendingCount() const;

private:
    struct Entry {
        double due;
        double interval;
        bool repeating;
        bool hasContext;
        QPointer<QObject> context;
        std::function<void()> fn;
    };
    std::map<TimerId, Entry> m_entries;
    double m_now;
    TimerId m_nextId = 1;
};
