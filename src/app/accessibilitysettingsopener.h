#pragma once

#include <optional>

#include <QList>
#include <QStringList>

class Clock;
class QObject;
class SettingsLauncher;

// Opens the desktop's settings where input-synthesis rights are granted:
// tries each candidate command in turn, `delay` seconds apart; when the last
// one fails it is retried `retries` more times, then the desktop's settings
// program itself is opened. A desktop we know nothing about gets no
// candidates and no fallback: nothing happens and nothing is reported.
// Main thread only; pending attempts run even after the caller is gone.
class AccessibilitySettingsOpener final
{
public:
    static constexpr int kRetries = 3;
    static constexpr double kDelaySeconds = 0.35;

    struct Plan {
        QList<QStringList> candidates;
        std::optional<QStringList> fallback;
    };

    // The plan for an $XDG_CURRENT_DESKTOP value (colon-separated names,
    // matched case-insensitively): GNOME-based desktops and KDE are known.
    static Plan planFor(const QString &currentDesktop);

    // `context` bounds the delayed attempts (they stop when it is destroyed).
    AccessibilitySettingsOpener(SettingsLauncher &launcher, Clock &clock, QObject *context);

    void open(const Plan &plan, int retries = kRetries, double delaySeconds = kDelaySeconds);

private:
    void attempt(QList<QStringList> candidates, std::optional<QStringList> fallback, int retries, double delay);
    void openFallback(const std::optional<QStringList> &fallback);

    SettingsLauncher &m_launcher;
    Clock &m_clock;
    QObject *m_context;
};
