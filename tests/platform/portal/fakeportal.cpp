#include "fakeportal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QMutexLocker>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");

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

// The caller's unique name and the client's token as a path under `kind`:
// ":1.42" and "t7" -> ".../kind/1_42/t7".
QString handlePath(const QString &kind, const QDBusMessage &message, const QString &token)
{
    return QStringLiteral("%1/%2/%3/%4").arg(kPath, kind, message.service().mid(1).replace(u'.', u'_'), token);
}

} // namespace

class FakePortal::Server final : public QDBusVirtualObject
{
public:
    void setUp(const QString &address)
    {
        m_connectionName = QStringLiteral("fake-portal:") + address;
        QDBusConnection bus = QDBusConnection::connectToBus(address, m_connectionName);
        serving = bus.isConnected() && bus.registerVirtualObject(kPath, this, QDBusConnection::SubPath)
            && bus.registerService(kService);
    }

    // The portal's name and objects go with the connection.
    void tearDown() { QDBusConnection::disconnectFromBus(m_connectionName); }

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QString interface = message.interface();
        const QString member = message.member();
        const QVariantList args = message.arguments();
        QMutexLocker lock(&mutex);
        if (member == QLatin1String("Get") && args.size() == 2) {
            const uint32_t version = args.at(0).toString() == kRemoteDesktop ? 2 : 1;
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(version)))));
            return true;
        }
        if (interface == kSession && member == QLatin1String("Close"))
            record.closedSessions.append(message.path());
        else if (message.path() != kPath)
            return false;
        else
            record.calls.append(interface.section(u'.', -1) + u'.' + member);
        if (interface == kShortcuts)
            return handleShortcuts(message, connection, member, args);
        if (interface == kRemoteDesktop)
            return handleRemoteDesktop(message, connection, member, args);
        connection.send(message.createReply()); // Session.Close, Registry.Register
        return true;
    }

    // Sends the signal `member` of `interface` from `path` to `client`.
    void emitSignal(const QString &client, const QString &path, const QString &interface, const QString &member,
                    const QVariantList &args)
    {
        QDBusMessage signal = QDBusMessage::createTargetedSignal(client, path, interface, member);
        signal.setArguments(args);
        QDBusConnection(m_connectionName).send(signal);
    }

    mutable QMutex mutex;
    uint32_t consentResponse = 0;
    bool serving = false;
    Record record;
    QString shortcutClient;
    QString remoteClient;

private:
    // Replies with the Request path made from the caller and its token, then
    // sends the Request's Response to the caller.
    static void respond(const QDBusMessage &message, const QDBusConnection &connection, const QVariantMap &options,
                        uint32_t response, const QVariantMap &results)
    {
        const QString path = handlePath(QStringLiteral("request"), message,
                                        options.value(QStringLiteral("handle_token")).toString());
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(path))));
        QDBusMessage signal = QDBusMessage::createTargetedSignal(
            message.service(), path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        signal << response << results;
        connection.send(signal);
    }

    static QString sessionPath(const QDBusMessage &message, const QVariantMap &options)
    {
        return handlePath(QStringLiteral("session"), message,
                          options.value(QStringLiteral("session_handle_token")).toString());
    }

    bool handleShortcuts(const QDBusMessage &message, const QDBusConnection &connection, const QString &member,
                         const QVariantList &args)
    {
        if (member == QLatin1String("CreateSession")) {
            const QVariantMap options = mapArgument(args.value(0));
            record.shortcutSession = sessionPath(message, options);
            shortcutClient = message.service();
            // GlobalShortcuts returns the session handle as a string.
            respond(message, connection, options, 0, {{QStringLiteral("session_handle"), record.shortcutSession}});
            return true;
        }
        if (member != QLatin1String("BindShortcuts") || args.size() != 4)
            return false;
        QList<FakeShortcutEntry> entries;
        args.at(1).value<QDBusArgument>() >> entries;
        QList<Shortcut> recorded;
        for (FakeShortcutEntry &entry : entries) {
            const QString trigger = entry.properties.value(QStringLiteral("preferred_trigger")).toString();
            recorded.append({entry.id, entry.properties.value(QStringLiteral("description")).toString(), trigger});
            // The desktop reports the bound triggers in its own words.
            entry.properties = {{QStringLiteral("trigger_description"), QStringLiteral("desktop:") + trigger}};
        }
        record.binds.append(recorded);
        respond(message, connection, mapArgument(args.at(3)), 0,
                {{QStringLiteral("shortcuts"), QVariant::fromValue(entries)}});
        return true;
    }

    bool handleRemoteDesktop(const QDBusMessage &message, const QDBusConnection &connection, const QString &member,
                             const QVariantList &args)
    {
        if (member == QLatin1String("CreateSession")) {
            const QVariantMap options = mapArgument(args.value(0));
            record.remoteDesktopSession = sessionPath(message, options);
            remoteClient = message.service();
            respond(message, connection, options, 0,
                    {{QStringLiteral("session_handle"), QVariant::fromValue(QDBusObjectPath(record.remoteDesktopSession))}});
        } else if (member == QLatin1String("SelectDevices") && args.size() == 2) {
            QVariantMap options = mapArgument(args.at(1));
            const QString token = options.value(QStringLiteral("restore_token")).toString();
            m_persist = options.value(QStringLiteral("persist_mode")).toUInt() == 2;
            // A token restores once: the portal hands out the next at Start.
            m_restoring = !token.isEmpty() && token == m_validToken;
            m_validToken.clear();
            respond(message, connection, options, 0, {});
            options.remove(QStringLiteral("handle_token"));
            record.selectDevicesOptions.append(options);
        } else if (member == QLatin1String("Start") && args.size() == 3) {
            const uint32_t response = m_restoring ? 0 : consentResponse;
            record.consentDialogs += m_restoring ? 0 : 1;
            QVariantMap results;
            if (response == 0) {
                results.insert(QStringLiteral("devices"), 1u); // the keyboard
                if (m_persist) {
                    m_validToken = QStringLiteral("token-%1").arg(++m_tokensIssued);
                    results.insert(QStringLiteral("restore_token"), m_validToken);
                }
            }
            respond(message, connection, mapArgument(args.at(2)), response, results);
        } else if (member == QLatin1String("NotifyKeyboardKeycode") && args.size() == 4) {
            record.keys.append({args.at(2).toInt(), args.at(3).toUInt()});
            connection.send(message.createReply());
        } else {
            return false;
        }
        return true;
    }

    QString m_connectionName;
    bool m_persist = false;
    bool m_restoring = false;
    QString m_validToken;
    int m_tokensIssued = 0;
};

FakePortal::FakePortal(const QString &busAddress)
    : m_thread(std::make_unique<QThread>()), m_server(new Server)
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
    return m_server->serving;
}

void FakePortal::setConsentResponse(uint32_t response)
{
    QMutexLocker lock(&m_server->mutex);
    m_server->consentResponse = response;
}

FakePortal::Record FakePortal::record() const
{
    QMutexLocker lock(&m_server->mutex);
    return m_server->record;
}

void FakePortal::sendShortcutSignal(const QString &shortcutId, bool activated)
{
    QMutexLocker lock(&m_server->mutex);
    m_server->emitSignal(m_server->shortcutClient, kPath, kShortcuts,
                         activated ? QStringLiteral("Activated") : QStringLiteral("Deactivated"),
                         {QVariant::fromValue(QDBusObjectPath(m_server->record.shortcutSession)), shortcutId,
                          qulonglong(1234), QVariantMap()});
}

void FakePortal::closeRemoteDesktopSession()
{
    QMutexLocker lock(&m_server->mutex);
    m_server->emitSignal(m_server->remoteClient, m_server->record.remoteDesktopSession, kSession,
                         QStringLiteral("Closed"), {QVariantMap()});
}
