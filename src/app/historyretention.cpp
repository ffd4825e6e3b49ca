#include "historyretention.h"

#include "platform/clock.h"
#include "platform/logger.h"
#include "platform/userdefaults.h"
#include "store/clipboardstore.h"

namespace {
constexpr double kDay = 24 * 3600;
const QString kForever = QStringLiteral("Toujours");
} // namespace

HistoryRetention::HistoryRetention(ClipboardStore &store, UserDefaults &defaults, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_defaults(defaults)
    , m_clock(clock)
{
}

HistoryRetention::~HistoryRetention()
{
    if (m_timer)
        m_clock.cancel(m_timer);
}

QStringList HistoryRetention::choices()
{
    return {QStringLiteral("Jour"), QStringLiteral("Semaine"), QStringLiteral("Mois"), kForever};
}

std::optional<double> HistoryRetention::maxAgeSeconds(const QString &choice)
{
    if (choice == u"Jour")
        return kDay;
    if (choice == u"Semaine")
        return 7 * kDay;
    if (choice == u"Mois")
        return 30 * kDay;
    return std::nullopt;
}

QString HistoryRetention::keep() const
{
    const auto stored = m_defaults.stringValue(QLatin1String(kKey));
    if (stored && choices().contains(*stored))
        return *stored;
    return kForever;
}

void HistoryRetention::setKeep(const QString &choice)
{
    if (!choices().contains(choice))
        return;
    m_defaults.setString(QLatin1String(kKey), choice);
    m_defaults.sync();
    pruneNow();
}

void HistoryRetention::start()
{
    if (m_timer)
        m_clock.cancel(m_timer);
    pruneNow();
    m_timer = m_clock.schedule(kIntervalSeconds, this, [this] { pruneNow(); }, true);
}

int HistoryRetention::pruneNow()
{
    const QString rule = keep();
    const auto maxAge = maxAgeSeconds(rule);
    if (!maxAge)
        return 0;
    const int removed = m_store.pruneOlderThan(*maxAge);
    if (removed > 0)
        Log::info(QStringLiteral("Store: retention removed %1 clip(s) older than %2").arg(removed).arg(rule));
    return removed;
}
