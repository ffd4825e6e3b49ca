#include "logcapture.h"

LogCapture::LogCapture()
{
    Log::setSink([this](Log::Level level, const QString &line) { m_entries.append({level, line}); });
}

LogCapture::~LogCapture() { Log::setSink({}); }

QStringList LogCapture::lines() const
{
    QStringList out;
    for (const auto &e : m_entries)
        out.append(e.second);
    return out;
}

QStringList LogCapture::lines(Log::Level level) const
{
    QStringList out;
    for (const auto &e : m_entries) {
        if (e.first == level)
            out.append(e.second);
    }
    return out;
}

QStringList LogCapture::matching(const QString &prefix) const
{
    QStringList out;
    for (const auto &e : m_entries) {
        if (e.second.startsWith(prefix))
            out.append(e.second);
    }
    return out;
}
