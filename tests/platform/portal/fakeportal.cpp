#include "fakeportal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutexLocker>
#include <QSet>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRegistry = QStringLiteral("org.freedesktop.host.portal.Registry");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

// One element of an a(sa{sv}) shortcut list.
struct FakeShortcutEntry {
    QString id;
    QVariantMap properties;
};

} // namespace

Q_DECLARE_METATYPE(FakeShortcutEntry)

namespace {

QDBusArgument &operator<<(QDBusArgument &argument, const FakeShortcutEntry &entry)
{
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, FakeShortcutEntry &entry)
{
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

QVariantMap mapArgument(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

QString senderElement(const QString &uniqueName)
{
    QString sender = uniqueName;
    sender.remove(0, sender.startsWith(QLatin1Char(':')) ? 1 : 0);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return sender;
}

} // namespace

class FakePortal::Server final : public QDBusVirtualObject
{
public:
    explicit Server(Answers answers) : m_answers(std::move(answers)) {}

    void setUp(const QString &address)
    {
        m_connectionName = QStringLiteral("fake-portal:") + address;
        QDBusConnection bus = QDBusConnection::connectToBus(address, m_connectionName);
        m_serving = bus.isConnected() && bus.registerVirtualObject(kPath, this, QDBusConnection::SubPath) &&
                    bus.registerService(kService);
    }

    void tearDown()
    {
        QDBusConnection bus(m_connectionName);
        bus.unregisterService(kService);
        bus.unregisterObject(kPath, QDBusConnection::UnregisterTree);
        QDBusConnection::disconnectFromBus(m_connectionName);
    }

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QString interface = message.interface();
        const QString member = message.member();
        const QVariantList args = message.arguments();
        QMutexLocker lock(&mutex);
        if (interface == QLatin1String("org.freedesktop.DBus.Properties") && member == QLatin1String("Get") &&
            args.size() == 2)
            return getVersion(message, connection, args.at(0).toString());
        if (message.path() != kPath) {
            if (interface == kSession && member == QLatin1String("Close")) {
                closedSessions.append(message.path());
                connection.send(message.createReply());
                return true;
            }
            return false;
        }
        const QString shortName = interface.section(QLatin1Char('.'), -1);
        if ((interface == kRegistry && !m_answers.registry) ||
            (interface == kShortcuts && m_answers.globalShortcutsVersion == 0) ||
            (interface == kRemoteDesktop && m_answers.remoteDesktopVersion == 0)) {
            connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                                                     QStringLiteral("no such interface")));
            return true;
        }
        calls.append(shortName + QLatin1Char('.') + member);
        if (interface == kRegistry && member == QLatin1String("Register")) {
            appIds.append(args.value(0).toString());
            connection.send(message.createReply());
            return true;
        }
        if (interface == kShortcuts)
            return handleShortcuts(message, connection, member, args);
        if (interface == kRemoteDesktop)
            return handleRemoteDesktop(message, connection, member, args);
        return false;
    }

    void sendShortcutSignal(const QString &shortcutId, bool activated)
    {
        QString client;
        QString session;
        {
            QMutexLocker lock(&mutex);
            client = m_shortcutClient;
            session = lastShortcutSession;
        }
        QDBusMessage signal = QDBusMessage::createTargetedSignal(
            client, kPath, kShortcuts, activated ? QStringLiteral("Activated") : QStringLiteral("Deactivated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << shortcutId << qulonglong(1234) << QVariantMap();
        QDBusConnection(m_connectionName).send(signal);
    }

    void sendShortcutsChanged(const QString &shortcutId, const QString &triggerDescription)
    {
        QString client;
        QString session;
        {
            QMutexLocker lock(&mutex);
            client = m_shortcutClient;
            session = lastShortcutSession;
        }
        const QList<FakeShortcutEntry> changed{
            {shortcutId, {{QStringLiteral("trigger_description"), triggerDescription}}}};
        QDBusMessage signal =
            QDBusMessage::createTargetedSignal(client, kPath, kShortcuts, QStringLiteral("ShortcutsChanged"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << QVariant::fromValue(changed);
        QDBusConnection(m_connectionName).send(signal);
    }

    void closeRemoteDesktopSession()
    {
        QString client;
        QString session;
        {
            QMutexLocker lock(&mutex);
            client = m_remoteClient;
            session = lastRemoteSession;
        }
        QDBusMessage signal = QDBusMessage::createTargetedSignal(client, session, kSession, QStringLiteral("Closed"));
        signal << QVariantMap();
        QDBusConnection(m_connectionName).send(signal);
    }

    mutable QMutex mutex;
    Answers m_answers;
    bool m_serving = false;
    QStringList calls;
    QStringList appIds;
    QList<QList<Shortcut>> binds;
    QString lastShortcutSession;
    QList<QVariantMap> selectOptions;
    int consentDialogs = 0;
    QStringList issuedTokens;
    QString lastRemoteSession;
    QList<Key> keys;
    QStringList closedSessions;

private:
    bool getVersion(const QDBusMessage &message, const QDBusConnection &connection, const QString &interface)
    {
        uint32_t version = 0;
        if (interface == kShortcuts)
            version = m_answers.globalShortcutsVersion;
        else if (interface == kRemoteDesktop)
            version = m_answers.remoteDesktopVersion;
        else if (interface == kRegistry && m_answers.registry)
            version = 1;
        if (version == 0) {
            connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                                                     QStringLiteral("no such interface")));
        } else {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(version)))));
        }
        return true;
    }

    // Replies with the Request path made from the caller and its token, then
    // sends the Request's Response to the caller.
    void respond(const QDBusMessage &message, const QDBusConnection &connection, const QVariantMap &options,
                 uint32_t response, const QVariantMap &results)
    {
        const QString path = QStringLiteral("%1/request/%2/%3")
                                 .arg(kPath, senderElement(message.service()),
                                      options.value(QStringLiteral("handle_token")).toString());
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(path))));
        QDBusMessage signal = QDBusMessage::createTargetedSignal(message.service(), path, kRequest,
                                                                 QStringLiteral("Response"));
        signal << response << results;
        connection.send(signal);
    }

    QString sessionPath(const QDBusMessage &message, const QVariantMap &options) const
    {
        return QStringLiteral("%1/session/%2/%3")
            .arg(kPath, senderElement(message.service()),
                 options.value(QStringLiteral("session_handle_token")).toString());
    }

    bool handleShortcuts(const QDBusMessage &message, const QDBusConnection &connection, const QString &member,
                         const QVariantList &args)
    {
        if (member == QLatin1String("CreateSession")) {
            const QVariantMap options = mapArgument(args.value(0));
            lastShortcutSession = sessionPath(message, options);
            m_shortcutClient = message.service();
            m_boundSessions.remove(lastShortcutSession);
            // GlobalShortcuts returns the session handle as a string.
            respond(message, connection, options, 0, {{QStringLiteral("session_handle"), lastShortcutSession}});
            return true;
        }
        if (member == QLatin1String("BindShortcuts") && args.size() == 4) {
            const QString session = args.at(0).value<QDBusObjectPath>().path();
            QList<FakeShortcutEntry> entries;
            args.at(1).value<QDBusArgument>() >> entries;
            const QVariantMap options = mapArgument(args.at(3));
            if (session != lastShortcutSession || m_boundSessions.contains(session)) {
                connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.portal.Error.Failed"),
                                                         QStringLiteral("unknown or already bound session")));
                return true;
            }
            m_boundSessions.insert(session);
            QList<Shortcut> recorded;
            QList<FakeShortcutEntry> bound;
            for (const FakeShortcutEntry &entry : entries) {
                const QString trigger = entry.properties.value(QStringLiteral("preferred_trigger")).toString();
                recorded.append({entry.id, entry.properties.value(QStringLiteral("description")).toString(), trigger});
                bound.append({entry.id,
                              {{QStringLiteral("description"), entry.properties.value(QStringLiteral("description"))},
                               {QStringLiteral("trigger_description"), m_answers.triggerDescriptionPrefix + trigger}}});
            }
            binds.append(recorded);
            QVariantMap results;
            if (m_answers.bindResponse == 0)
                results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(bound));
            respond(message, connection, options, m_answers.bindResponse, results);
            return true;
        }
        return false;
    }

    bool handleRemoteDesktop(const QDBusMessage &message, const QDBusConnection &connection, const QString &member,
                             const QVariantList &args)
    {
        if (member == QLatin1String("CreateSession")) {
            const QVariantMap options = mapArgument(args.value(0));
            lastRemoteSession = sessionPath(message, options);
            m_remoteClient = message.service();
            respond(message, connection, options, 0,
                    {{QStringLiteral("session_handle"), QVariant::fromValue(QDBusObjectPath(lastRemoteSession))}});
            return true;
        }
        if (member == QLatin1String("SelectDevices") && args.size() == 2) {
            const QString session = args.at(0).value<QDBusObjectPath>().path();
            const QVariantMap options = mapArgument(args.at(1));
            QVariantMap recorded = options;
            recorded.remove(QStringLiteral("handle_token"));
            selectOptions.append(recorded);
            const QString token = options.value(QStringLiteral("restore_token")).toString();
            m_persist[session] = options.value(QStringLiteral("persist_mode")).toUInt() == 2;
            // A token restores once: the portal hands out the next at Start.
            m_restored[session] = !token.isEmpty() && m_validTokens.remove(token);
            respond(message, connection, options, 0, {});
            return true;
        }
        if (member == QLatin1String("Start") && args.size() == 3) {
            const QString session = args.at(0).value<QDBusObjectPath>().path();
            const QVariantMap options = mapArgument(args.at(2));
            uint32_t response = 0;
            if (!m_restored.value(session)) {
                ++consentDialogs;
                response = m_answers.consentResponse;
            }
            QVariantMap results;
            if (response == 0) {
                m_started.insert(session);
                results.insert(QStringLiteral("devices"), m_answers.devicesGranted);
                if (m_persist.value(session)) {
                    const QString token = QStringLiteral("token-%1").arg(issuedTokens.size() + 1);
                    issuedTokens.append(token);
                    m_validTokens.insert(token);
                    results.insert(QStringLiteral("restore_token"), token);
                }
            }
            respond(message, connection, options, response, results);
            return true;
        }
        if (member == QLatin1String("NotifyKeyboardKeycode") && args.size() == 4) {
            const QString session = args.at(0).value<QDBusObjectPath>().path();
            if (!m_started.contains(session) || closedSessions.contains(session)) {
                connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.portal.Error.Failed"),
                                                         QStringLiteral("session not started")));
                return true;
            }
            keys.append({args.at(2).toInt(), args.at(3).toUInt()});
            connection.send(message.createReply());
            return true;
        }
        return false;
    }

    QString m_connectionName;
    QString m_shortcutClient;
    QString m_remoteClient;
    QSet<QString> m_boundSessions;
    QSet<QString> m_validTokens;
    QSet<QString> m_started;
    QHash<QString, bool> m_persist;
    QHash<QString, bool> m_restored;
};

FakePortal::FakePortal(const QString &busAddress) : FakePortal(busAddress, Answers()) {}

FakePortal::FakePortal(const QString &busAddress, const Answers &answers)
    : m_thread(std::make_unique<QThread>()), m_server(new Server(answers))
{
    qDBusRegisterMetaType<FakeShortcutEntry>();
    qDBusRegisterMetaType<QList<FakeShortcutEntry>>();
    m_server->moveToThread(m_thread.get());
    QObject::connect(m_thread.get(), &QThread::finished, m_server, &QObject::deleteLater);
    m_thread->start();
    QMetaObject::invokeMethod(m_server, [this, busAddress] { m_server->setUp(busAddress); },
                              Qt::BlockingQueuedConnection);
}

FakePortal::~FakePortal()
{
    QMetaObject::invokeMethod(m_server, [this] { m_server->tearDown(); }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
}

bool FakePortal::isServing() const
{
    QMutexLocker lock(&m_server->mutex);
    return m_server->m_serving;
}

void FakePortal::setAnswers(const Answers &answers)
{
    QMutexLocker lock(&m_server->mutex);
    m_server->m_answers = answers;
}

#define FAKE_PORTAL_READ(type, name, member)                                                                           \
    type FakePortal::name() const                                                                                     \
    {                                                                                                                  \
        QMutexLocker lock(&m_server->mutex);                                                                           \
        return m_server->member;                                                                                       \
    }

FAKE_PORTAL_READ(QStringList, calls, calls)
FAKE_PORTAL_READ(QStringList, registeredAppIds, appIds)
FAKE_PORTAL_READ(QList<QList<FakePortal::Shortcut>>, binds, binds)
FAKE_PORTAL_READ(QString, lastShortcutSession, lastShortcutSession)
FAKE_PORTAL_READ(QList<QVariantMap>, selectDevicesOptions, selectOptions)
FAKE_PORTAL_READ(int, consentDialogs, consentDialogs)
FAKE_PORTAL_READ(QStringList, issuedTokens, issuedTokens)
FAKE_PORTAL_READ(QString, lastRemoteDesktopSession, lastRemoteSession)
FAKE_PORTAL_READ(QList<FakePortal::Key>, keys, keys)
FAKE_PORTAL_READ(QStringList, closedSessions, closedSessions)

#undef FAKE_PORTAL_READ

void FakePortal::sendShortcutSignal(const QString &shortcutId, bool activated)
{
    m_server->sendShortcutSignal(shortcutId, activated);
}

void FakePortal::sendShortcutsChanged(const QString &shortcutId, const QString &triggerDescription)
{
    m_server->sendShortcutsChanged(shortcutId, triggerDescription);
}

void FakePortal::closeRemoteDesktopSession() { m_server->closeRemoteDesktopSession(); }
