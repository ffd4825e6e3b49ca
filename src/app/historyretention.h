#pragma once

#include <optional>

#include <QObject>
#include <QString>
#include <QStringList>

class Clock;
class ClipboardStore;
class UserDefaults;

// The "Conserver l’historique" rule: "Jour", "Semaine" or "Mois" remove the
// unpinned clips (in folders or not) older than one day, 7 days or 30 days,
// at start() and then every hour; "Toujours" keeps everything and is the rule
// when nothing (or anything unknown) is stored. Each pruning writes the
// history once and logs one info line with the count when clips went.
// Main thread only.
class HistoryRetention final : public QObject
{
    Q_OBJECT

public:
    static constexpr char kKey[] = "bramblet.history.keep";
    static constexpr double kIntervalSeconds = 3600;

    HistoryRetention(ClipboardStore &store, UserDefaults &defaults, Clock &clock, QObject *parent = nullptr);
    ~HistoryRetention() override;

    // "Jour", "Semaine", "Mois", "Toujours", in picker order.
    static QStringList choices();
    // The age limit of a choice; empty for "Toujours" and unknown texts.
    static std::optional<double> maxAgeSeconds(const QString &choice);

    // The stored choice, or "Toujours".
    QString keep() const;
    // Stores `choice` (unknown texts are ignored) and applies it at once.
    void setKeep(const QString &choice);

    // Prunes now and every kIntervalSeconds after. Calling again restarts the hour.
    void start();
    // Applies the stored rule once; returns how many clips were removed.
    int pruneNow();

private:
    ClipboardStore &m_store;
    UserDefaults &m_defaults;
    Clock &m_clock;
    int m_timer = 0;
};
