#pragma once

#include <functional>

#include <QObject>

class Clock;

// The "Re-vérifier" loop: asks the trust check at once and then every 0.4 s,
// at most 10 times, stopping at the first yes. Main thread only.
class AccessibilityRecheck final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPolls = 10;
    static constexpr double kIntervalSeconds = 0.4;

    AccessibilityRecheck(Clock &clock, std::function<bool()> isTrusted, QObject *parent = nullptr);
    ~AccessibilityRecheck() override;

    // Starts a loop; ignored while one is running.
    void start();
    bool isChecking() const { return m_checking; }
    int pollsMade() const { return m_polls; }

signals:
    // The check said yes (emitted once per loop that ends this way).
    void trusted();
    void checkingChanged(bool checking);

private:
    void poll();
    void setChecking(bool checking);

    Clock &m_clock;
    std::function<bool()> m_isTrusted;
    bool m_checking = false;
    int m_remaining = 0;
    int m_polls = 0;
    int m_timer = 0;
};
