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
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const;
    QStringList lines(Log::Level level) const;
    bool contains(const QString &line) const { return lines().contains(line); }
    // Lines that start with `prefix`.
    QStringList matching(const QString &prefix) const;
    void clear() { m_entries.clear(); }

private:
    QList<QPair<Log::Level, QString>> m_entries;
};
