#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "platform/logger.h"

// Captures every log line while alive; restores the normal output after.
class LogCapture final
{
public:
    LogCapture()
    {
        Log::setSink([this](Log::Level level, const QString &line) { m_entries.append({level, line}); });
    }
    ~LogCapture() { Log::setSink({}); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const { return matching(QString()); }
    QStringList lines(Log::Level level) const
    {
        QStringList out;
        for (const auto &[lineLevel, line] : m_entries) {
            if (lineLevel == level)
                out.append(line);
        }
        return out;
    }
    bool contains(const QString &line) const { return lines().contains(line); }
    // Lines that start with `prefix`.
    QStringList matching(const QString &prefix) const
    {
        QStringList out;
        for (const auto &entry : m_entries) {
            if (entry.second.startsWith(prefix))
                out.append(entry.second);
        }
        return out;
    }
    void clear() { m_entries.clear(); }

private:
    QList<QPair<Log::Level, QString>> m_entries;
};
