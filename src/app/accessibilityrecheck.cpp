#include "accessibilityrecheck.h"

#include "platform/clock.h"

AccessibilityRecheck::AccessibilityRecheck(Clock &clock, std::function<bool()> isTrusted, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_isTrusted(std::move(isTrusted))
{
}

AccessibilityRecheck::~AccessibilityRecheck()
{
    if (m_timer)
        m_clock.cancel(m_timer);
}

void AccessibilityRecheck::start()
{
    if (m_checking)
        return;
    setChecking(true);
    m_remaining = kPolls;
    m_polls = 0;
    poll();
}

void AccessibilityRecheck::poll()
{
    m_timer = 0;
    ++m_polls;
    if (m_isTrusted && m_isTrusted()) {
        setChecking(false);
        emit trusted();
        return;
    }
    --m_remaining;
    if (m_remaining >= 1)
        m_timer = m_clock.schedule(kIntervalSeconds, this, [this] { poll(); });
    else
        setChecking(false);
}

void AccessibilityRecheck::setChecking(bool checking)
{
    if (m_checking == checking)
        return;
    m_checking = checking;
    emit checkingChanged(checking);
}
