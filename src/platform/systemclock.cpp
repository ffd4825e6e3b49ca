#include "systemclock.h"

#include <cmath>

#include <QDateTime>
#include <QTimer>

SystemClock::SystemClock() = default;

SystemClock::~SystemClock()
{
    for (const QPointer<QTimer> &t : std::as_const(m_timers))
        delete t.data();
}

double SystemClock::now() const
{
    return QDateTime::currentMSecsSinceEpoch() / 1000.0;
}

Clock::TimerId SystemClock::schedule(double seconds, QObject *context, std::function<void()> fn,
                                     bool repeating)
{
    const TimerId id = m_nextId++;
    // Parenting the timer to the context makes the call die with it.
    auto *timer = new QTimer(context);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeating);
    timer->setInterval(std::max(0, int(std::lround(seconds * 1000.0))));
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, timer, repeating, fn = std::move(fn)] {
        if (!repeating) {
            m_timers.remove(id);
            timer->deleteLater();
        }
        fn();
    });
    m_timers.insert(id, timer);
    timer->start();
    return id;
}

void SystemClock::cancel(TimerId id)
{
    const QPointer<QTimer> timer = m_timers.take(id);
    if (timer) {
        timer->stop();
        timer->deleteLater();
    }
}

SystemClock &SystemClock::instance()
{
    static SystemClock clock;
    return clock;
}
