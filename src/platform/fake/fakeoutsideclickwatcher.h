#pragma once

#include "platform/outsideclickwatcher.h"

// A click watcher the test drives: press() reports a press at a position
// while started. `available` false makes start() refuse, as on a desktop
// without raw input events.
class FakeOutsideClickWatcher final : public OutsideClickWatcher
{
public:
    bool start(Handler handler) override
    {
        ++starts;
        if (!available)
            return false;
        m_handler = std::move(handler);
        return true;
    }
    void stop() override
    {
        if (m_handler)
            ++stops;
        m_handler = nullptr;
    }
    bool isWatching() const override { return bool(m_handler); }

    // Reports a press at `globalPos` when watching; returns whether it did.
    bool press(const QPoint &globalPos)
    {
        if (!m_handler)
            return false;
        const Handler handler = m_handler; // the handler may stop() the watcher
        handler(globalPos);
        return true;
    }

    bool available = true;
    int starts = 0;
    int stops = 0;

private:
    Handler m_handler;
};
