#pragma once

#include <QHash>
#include <QPointer>

#include "clock.h"

class QTimer;

// Clock over the real time and QTimer.
class SystemClock final : public Clock
{
public:
    SystemClock();
    ~SystemClock() override;

    double now() const override;
    TimerId schedule(double seconds, QObject *context, std::function<void()> fn,
                     bool repeating = false) override;
    void cancel(TimerId id) override;

    // The process-wide instance used by the composition root.
    static SystemClock &instance();

private:
    QHash<TimerId, QPointer<QTimer>> m_timers;
    TimerId m_nextId = 1;
};
