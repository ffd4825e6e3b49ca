#include "portalglobalshortcutservice.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QTimer>

#include "platform/logger.h"
#include "platform/portal/portalbus.h"
#include "platform/portal/portalrequest.h"
#include "platform/portal/portaltrigger.h"

namespace {

const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

// One element of the portal's a(sa{sv}) shortcut lists.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

QList<PortalShortcut> shortcutsFrom(const QVariant &value)
{
    QList<PortalShortcut> list;
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        value.value<QDBusArgument>() >> list;
    return list;
}

} // namespace

PortalGlobalShortcutService::PortalGlobalShortcutService(QString description, QString busAddress, QObject *parent)
    : QObject(parent), m_description(std::move(description)), m_connection(PortalBus::connectionName(busAddress))
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    PortalBus::connectSignal(m_connection, kPath, kInterface, QStringLiteral("Activated"), this,
                             [this](const QVariantList &arguments) { onSignal(arguments, true); });
    PortalBus::connectSignal(m_connection, kPath, kInterface, QStringLiteral("Deactivated"), this,
                             [this](const QVariantList &arguments) { onSignal(arguments, false); });
    PortalBus::connectSignal(m_connection, kPath, kInterface, QStringLiteral("ShortcutsChanged"), this,
                             [this](const QVariantList &arguments) { onShortcutsChanged(arguments); });
}

PortalGlobalShortcutService::~PortalGlobalShortcutService()
{
    PortalBus::closeSession(m_connection, m_session);
}

std::optional<uint32_t> PortalGlobalShortcutService::offeredVersion(const QString &busAddress)
{
    return PortalBus::interfaceVersion(busAddress, kInterface);
}

int PortalGlobalShortcutService::registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyId id,
                                                Registration *registration)
{
    const std::optional<QString> trigger = PortalTrigger::fromCombo(keyCode, modifiers);
    if (!trigger) {
        Log::error(QStringLiteral("HotKey: key code %1 has no keysym the desktop could bind").arg(keyCode));
        return kHotKeyInvalidErr;
    }
    for (const auto &[ref, shortcut] : m_shortcuts) {
        if (shortcut.trigger == *trigger) {
            Log::error(QStringLiteral("HotKey: %1 is already registered").arg(*trigger));
            return kHotKeyExistsErr;
        }
    }
    const Registration ref = m_nextRegistration++;
    m_shortcuts[ref] = Shortcut{*trigger, PortalTrigger::shortcutId(*trigger), id};
    if (registration)
        *registration = ref;
    scheduleRebind();
    return kNoErr;
}

int PortalGlobalShortcutService::unregisterHotKey(std::optional<Registration> registration)
{
    if (!registration || !m_shortcuts.erase(*registration))
        return kHotKeyInvalidErr;
    scheduleRebind();
    return kNoErr;
}

int PortalGlobalShortcutService::installEventHandler(EventHandler handler, HandlerRef *ref)
{
    return m_handlers.install(std::move(handler), ref);
}

void PortalGlobalShortcutService::scheduleRebind()
{
    // The shortcut manager unregisters and registers again in one go (and
    // twice at start-up): one session for the final set, not one per step.
    if (m_rebindQueued)
        return;
    m_rebindQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_rebindQueued = false;
        rebind();
    });
}

void PortalGlobalShortcutService::rebind()
{
    PortalBus::closeSession(m_connection, m_session);
    m_session.clear();
    m_boundTriggers.clear();
    const uint64_t generation = ++m_generation;
    if (m_shortcuts.empty())
        return;

    const QVariantMap options{{QStringLiteral("session_handle_token"), PortalBus::nextToken()}};
    PortalRequest::send(m_connection, kInterface, QStringLiteral("CreateSession"), {options}, this,
                        [this, generation](uint32_t response, const QVariantMap &results) {
                            const QString session = PortalBus::pathFrom(results.value(QStringLiteral("session_handle")));
                            if (generation != m_generation) {
                                // Superseded while the portal answered.
                                PortalBus::closeSession(m_connection, session);
                                return;
                            }
                            if (response != PortalRequest::kSuccess || session.isEmpty()) {
                                Log::error(QStringLiteral("HotKey: the desktop refused a shortcut session (response %1)")
                                               .arg(response));
                                emit bindingFinished();
                                return;
                            }
                            m_session = session;
                            bind(generation);
                        });
}

void PortalGlobalShortcutService::bind(uint64_t generation)
{
    QList<PortalShortcut> shortcuts;
    for (const auto &[ref, shortcut] : m_shortcuts) {
        shortcuts.append({shortcut.shortcutId,
                          {{QStringLiteral("description"), m_description},
                           {QStringLiteral("preferred_trigger"), shortcut.trigger}}});
    }
    const QVariantList arguments{QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts),
                                 QString(), QVariantMap()};
    PortalRequest::send(m_connection, kInterface, QStringLiteral("BindShortcuts"), arguments, this,
                        [this, generation](uint32_t response, const QVariantMap &results) {
                            if (generation == m_generation)
                                finishBinding(response, results);
                        });
}

void PortalGlobalShortcutService::finishBinding(uint32_t response, const QVariantMap &results)
{
    if (response == PortalRequest::kCancelled) {
        Log::error(QStringLiteral("HotKey: the desktop's shortcut dialog was cancelled; the shortcut is off"));
    } else if (response != PortalRequest::kSuccess) {
        Log::error(QStringLiteral("HotKey: the desktop did not bind the shortcut (response %1)").arg(response));
    } else {
        for (const PortalShortcut &bound : shortcutsFrom(results.value(QStringLiteral("shortcuts")))) {
            const QString trigger = bound.properties.value(QStringLiteral("trigger_description")).toString();
            m_boundTriggers[bound.id] = trigger;
            Log::info(QStringLiteral("HotKey: the desktop bound %1 to %2")
                          .arg(bound.id, trigger.isEmpty() ? QStringLiteral("no key") : trigger));
        }
        for (const auto &[ref, shortcut] : m_shortcuts) {
            if (!m_boundTriggers.count(shortcut.shortcutId))
                Log::error(QStringLiteral("HotKey: the desktop left %1 unbound").arg(shortcut.trigger));
        }
    }
    emit bindingFinished();
}

void PortalGlobalShortcutService::onSignal(const QVariantList &arguments, bool activated)
{
    if (arguments.size() < 2 || m_session.isEmpty() || PortalBus::pathFrom(arguments.at(0)) != m_session)
        return;
    const QString shortcutId = arguments.at(1).toString();
    for (auto &[ref, shortcut] : m_shortcuts) {
        if (shortcut.shortcutId != shortcutId)
            continue;
        if (shortcut.down == activated)
            return; // a repeat, or a release we never saw pressed
        shortcut.down = activated;
        const HotKeyId id = shortcut.id; // the handler may drop the registration
        m_handlers.dispatch(activated ? kHotKeyPressed : kHotKeyReleased, id);
        return;
    }
}

void PortalGlobalShortcutService::onShortcutsChanged(const QVariantList &arguments)
{
    if (arguments.size() < 2 || m_session.isEmpty() || PortalBus::pathFrom(arguments.at(0)) != m_session)
        return;
    for (const PortalShortcut &changed : shortcutsFrom(arguments.at(1))) {
        const QString trigger = changed.properties.value(QStringLiteral("trigger_description")).toString();
        m_boundTriggers[changed.id] = trigger;
        Log::info(QStringLiteral("HotKey: the desktop now triggers %1 with %2")
                      .arg(changed.id, trigger.isEmpty() ? QStringLiteral("no key") : trigger));
    }
    emit triggersChanged();
}
