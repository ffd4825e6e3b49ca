#include "fakeclock.h"

#include <limits>

FakeClock::FakeClock(double start) : m_now(start) {}

Clock::TimerId FakeClock::schedule(double seconds, QObject *context, std::function<void()> fn,
                                   bool repeating)
{
    const TimerId id = m_nextId++;
    m_entries.emplace(id, Entry{m_now + seconds, seconds, repeating, context != nullptr,
                                QPointer<QObject>(context), std::move(fn)});
    return id;
}

void FakeClock::cancel(TimerId id) { m_entries.erase(id); }

int FakeClock::pendingCount() const { return int(m_entries.size()); }

void FakeClock::advance(double seconds)
{
    const double target = m_now + seconds;
    for (;;) {
        // Earliest due entry; ties go to the lower id (scheduled first).
        auto next = m_entries.end();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->second.due <= target + 1e-9 && (next == m_entries.end() || it->second.due < next->second.due))
                next = it;
        }
        if (next == m_entries.end())
            break;
        const TimerId id = next->first;
        Entry &e = next->second;
        m_now = std::max(m_now, e.due);
        if (e.hasContext && !e.context) {
            m_entries.erase(next);
            continue;
        }
        std::function<void()> fn = e.fn;
        if (e.repeating)
            e.due += std::max(e.interval, 1e-6);
        else
            m_entries.erase(next);
        fn();
        (void)id;
    }
    m_now = target;
}
