#include "accessibilitysettingsopener.h"

#include "platform/clock.h"
#include "platform/settingslauncher.h"

AccessibilitySettingsOpener::Plan AccessibilitySettingsOpener::planFor(const QString &currentDesktop)
{
    const QStringList names = currentDesktop.toLower().split(u':', Qt::SkipEmptyParts);
    auto has = [&names](const char *name) { return names.contains(QLatin1String(name)); };
    Plan plan;
    if (has("gnome") || has("unity") || has("ubuntu") || has("budgie") || has("pop")) {
        // The panel was renamed from "universal-access" to "accessibility" in newer releases.
        plan.candidates = {{QStringLiteral("gnome-control-center"), QStringLiteral("universal-access")},
                           {QStringLiteral("gnome-control-center"), QStringLiteral("accessibility")}};
        plan.fallback = QStringList{QStringLiteral("gnome-control-center")};
    } else if (has("kde")) {
        plan.candidates = {{QStringLiteral("systemsettings"), QStringLiteral("kcm_access")},
                           {QStringLiteral("systemsettings5"), QStringLiteral("kcm_access")}};
        plan.fallback = QStringList{QStringLiteral("systemsettings")};
    }
    return plan;
}

AccessibilitySettingsOpener::AccessibilitySettingsOpener(SettingsLauncher &launcher, Clock &clock, QObject *context)
    : m_launcher(launcher)
    , m_clock(clock)
    , m_context(context)
{
}

void AccessibilitySettingsOpener::open(const Plan &plan, int retries, double delaySeconds)
{
    attempt(plan.candidates, plan.fallback, retries, delaySeconds);
}

void AccessibilitySettingsOpener::attempt(QList<QStringList> candidates, std::optional<QStringList> fallback,
                                          int retries, double delay)
{
    if (candidates.isEmpty()) {
        openFallback(fallback);
        return;
    }
    if (m_launcher.launch(candidates.first()))
        return;
    if (candidates.size() > 1) {
        candidates.removeFirst();
        m_clock.schedule(delay, m_context, [this, candidates, fallback, retries, delay] {
            attempt(candidates, fallback, retries, delay);
        });
        return;
    }
    if (retries < 1) {
        openFallback(fallback);
        return;
    }
    m_clock.schedule(delay, m_context, [this, candidates, fallback, retries, delay] {
        attempt(candidates, fallback, retries - 1, delay);
    });
}

void AccessibilitySettingsOpener::openFallback(const std::optional<QStringList> &fallback)
{
    if (fallback)
        m_launcher.launch(*fallback);
}
