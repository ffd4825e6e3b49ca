#include "logcapture.h"

LogCapture::LogCapture()
{
    Log::setSink([this](Log::Level level, const QString &line) { m_entries.append({level, line}); });
}

LogCapture::~LogCapture() { Log::setSink({}); }

QStringList LogCapture::lines() const { return matching(QString()); }

QStringList LogCapture::lines(Log::Level level) const
{
    QStringList out;
    for (const auto &[lineLevel, line] : m_entries) {
        if (lineLevel == level)
            out.append(line);
    }
    return out;
}

QStringList LogCapture::matching(const QString &prefix) const
{
    QStringList out;
    for (const auto &entry : m_entries) {
        if (entry.second.startsWith(prefix))
            out.append(entry.second);
    }
    return out;
}
