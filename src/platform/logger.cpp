#include "logger.h"

#include <cstdio>
#include <mutex>

#include <QByteArray>

#include <syslog.h>
#include <systemd/sd-journal.h>

#include "appid.h"

namespace Log {
namespace {

std::mutex &sinkLock()
{
    static std::mutex lock;
    return lock;
}

Sink &currentSink()
{
    static Sink sink;
    return sink;
}

bool stderrRequested()
{
    static const bool wanted = qgetenv("BRAMBLET_LOG") == "stderr";
    return wanted;
}

int priorityOf(Level level)
{
    switch (level) {
    case Level::Debug: return LOG_DEBUG;
    case Level::Info: return LOG_INFO;
    case Level::Error: return LOG_ERR;
    }
    return LOG_INFO;
}

const char *nameOf(Level level)
{
    switch (level) {
    case Level::Debug: return "debug";
    case Level::Info: return "info";
    case Level::Error: return "error";
    }
    return "info";
}

void toStderr(Level level, const QByteArray &utf8)
{
    std::fprintf(stderr, "%s [core] %s: %s\n", kAppName, nameOf(level), utf8.constData());
}

} // namespace

void write(Level level, const QString &line)
{
    // Lines may come from worker threads (the history writer): one at a time.
    const std::lock_guard guard(sinkLock());
    if (const Sink &sink = currentSink()) {
        sink(level, line);
        return;
    }
    const QByteArray utf8 = line.toUtf8();
    const int rc = sd_journal_send("MESSAGE=%s", utf8.constData(),
                                   "PRIORITY=%i", priorityOf(level),
                                   "SYSLOG_IDENTIFIER=%s", kAppId,
                                   "CATEGORY=core",
                                   nullptr);
    if (rc < 0 || stderrRequested())
        toStderr(level, utf8);
}

void debug(const QString &line) { write(Level::Debug, line); }
void info(const QString &line) { write(Level::Info, line); }
void error(const QString &line) { write(Level::Error, line); }

void setSink(Sink sink)
{
    const std::lock_guard guard(sinkLock());
    currentSink() = std::move(sink);
}

QString shortId(const QString &canonicalUuid) { return canonicalUuid.left(8); }

} // namespace Log
