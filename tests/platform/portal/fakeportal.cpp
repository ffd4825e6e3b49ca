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
#include <QSet>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRegistry = QStringLiteral("org.freedesktop.host.portal.Registry");
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

// The caller's unique name as a path element: ":1.42" -> "1_42".
QString senderElement(const QString &uniqueName)
{
    return uniqueName.mid(uniqueName.startsWith(QLatin1Char(':')) ? 1 : 0).replace(QLatin1Char('.'), QLatin1Char('_'));
}

QString objectPath(const QVariant &value) { return value.value<QDBusObjectPath>().path(); }

} // namespace

class FakePortal::Server final : public QDBusVirtualObject
{
public:
    explicit Server(const Answers &answers) : answers(answers) {}

    void setUp(const QString &address)
    {
        m_connectionName = QStringLiteral("fake-portal:") + address;
        QDBusConnection bus = QDBusConnection::connectToBus(address, m_connectionName);
        serving = bus.isConnected() && bus.registerVirtualObject(kPath, this, QDBusConnection::SubPath) &&
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
        if (member == QLatin1String("Get") && args.size() == 2)
            return replyVersion(message, connection, args.at(0).toString());
        if (message.path() != kPath) {
            if (interface != kSession || member != QLatin1String("Close"))
                return false;
            record.closedSessions.append(message.path());
            connection.send(message.createReply());
            return true;
        }
        if (version(interface) == 0) {
            connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                                                     QStringLiteral("no such interface")));
            return true;
        }
        record.calls.append(interface.section(QLatin1Char('.'), -1) + QLatin1Char('.') + member);
        if (interface == kRegistry && member == QLatin1String("Register")) {
            record.registeredAppIds.append(args.value(0).toString());
            connection.send(message.createReply());
            return true;
        }
        if (interface == kShortcuts)
            return handleShortcuts(message, connection, member, args);
        return interface == kRemoteDesktop && handleRemoteDesktop(message, connection, member, args);
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
    Answers answers;
    bool serving = false;
    Record record;
    QString shortcutClient;
    QString remoteClient;

private:
    uint32_t version(const QString &interface) const
    {
        if (interface == kShortcuts)
            return answers.globalShortcutsVersion;
        if (interface == kRemoteDesktop)
            return answers.remoteDesktopVersion;
        return interface == kRegistry ? 1 : 0;
    }

    bool replyVersion(const QDBusMessage &message, const QDBusConnection &connection, const QString &interface)
    {
        if (const uint32_t offered = version(interface); offered != 0)
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(offered)))));
        else
            connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                                                     QStringLiteral("no such interface")));
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
        QDBusMessage signal = QDBusMessage::createTargetedSignal(
            message.service(), path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        signal << response << results;
        connection.send(signal);
    }

    static QString sessionPath(const QDBusMessage &message, const QVariantMap &options)
    {
        return QStringLiteral("%1/session/%2/%3")
            .arg(kPath, senderElement(message.service()),
                 options.value(QStringLiteral("session_handle_token")).toString());
    }

    static void fail(const QDBusMessage &message, const QDBusConnection &connection, const QString &why)
    {
        connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.portal.Error.Failed"), why));
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
        const QString session = objectPath(args.at(0));
        if (session != record.shortcutSession || m_boundSessions.contains(session)) {
            fail(message, connection, QStringLiteral("unknown or already bound session"));
            return true;
        }
        m_boundSessions.insert(session);
        QList<FakeShortcutEntry> entries;
        args.at(1).value<QDBusArgument>() >> entries;
        QList<Shortcut> recorded;
        QList<FakeShortcutEntry> bound;
        for (const FakeShortcutEntry &entry : entries) {
            const QString trigger = entry.properties.value(QStringLiteral("preferred_trigger")).toString();
            const QVariant description = entry.properties.value(QStringLiteral("description"));
            recorded.append({entry.id, description.toString(), trigger});
            // The desktop reports the bound triggers in its own words.
            bound.append({entry.id,
                          {{QStringLiteral("description"), description},
                           {QStringLiteral("trigger_description"), QStringLiteral("desktop:") + trigger}}});
        }
        record.binds.append(recorded);
        QVariantMap results;
        if (answers.bindResponse == 0)
            results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(bound));
        respond(message, connection, mapArgument(args.at(3)), answers.bindResponse, results);
        return true;
    }

    bool handleRemoteDesktop(const QDBusMessage &message, const QDBusConnection &connection, const QString &member,
                             const QVariantList &args)
    {
        const QString session = objectPath(args.value(0));
        if (member == QLatin1String("CreateSession")) {
            const QVariantMap options = mapArgument(args.value(0));
            record.remoteDesktopSession = sessionPath(message, options);
            remoteClient = message.service();
            respond(message, connection, options, 0,
                    {{QStringLiteral("session_handle"), QVariant::fromValue(QDBusObjectPath(record.remoteDesktopSession))}});
        } else if (member == QLatin1String("SelectDevices") && args.size() == 2) {
            const QVariantMap options = mapArgument(args.at(1));
            QVariantMap recorded = options;
            recorded.remove(QStringLiteral("handle_token"));
            record.selectDevicesOptions.append(recorded);
            const QString token = options.value(QStringLiteral("restore_token")).toString();
            m_persist[session] = options.value(QStringLiteral("persist_mode")).toUInt() == 2;
            // A token restores once: the portal hands out the next at Start.
            m_restored[session] = !token.isEmpty() && m_validTokens.remove(token);
            respond(message, connection, options, 0, {});
        } else if (member == QLatin1String("Start") && args.size() == 3) {
            uint32_t response = 0;
            if (!m_restored.value(session)) {
                ++record.consentDialogs;
                response = answers.consentResponse;
            }
            QVariantMap results;
            if (response == 0) {
                m_started.insert(session);
                results.insert(QStringLiteral("devices"), answers.devicesGranted);
                if (m_persist.value(session)) {
                    const QString token = QStringLiteral("token-%1").arg(++m_tokensIssued);
                    m_validTokens.insert(token);
                    results.insert(QStringLiteral("restore_token"), token);
                }
            }
            respond(message, connection, mapArgument(args.at(2)), response, results);
        } else if (member == QLatin1String("NotifyKeyboardKeycode") && args.size() == 4) {
            if (!m_started.contains(session) || record.closedSessions.contains(session)) {
                fail(message, connection, QStringLiteral("session not started"));
                return true;
            }
            record.keys.append({args.at(2).toInt(), args.at(3).toUInt()});
            connection.send(message.createReply());
        } else {
            return false;
        }
        return true;
    }

    QString m_connectionName;
    QSet<QString> m_boundSessions;
    QSet<QString> m_validTokens;
    QSet<QString> m_started;
    QHash<QString, bool> m_persist;
    QHash<QString, bool> m_restored;
    int m_tokensIssued = 0;
};

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
    return m_server->serving;
}

void FakePortal::setAnswers(const Answers &answers)
{
    QMutexLocker lock(&m_server->mutex);
    m_server->answers = answers;
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

void FakePortal::sendShortcutsChanged(const QString &shortcutId, const QString &triggerDescription)
{
    QMutexLocker lock(&m_server->mutex);
    const QList<FakeShortcutEntry> changed{{shortcutId, {{QStringLiteral("trigger_description"), triggerDescription}}}};
    m_server->emitSignal(m_server->shortcutClient, kPath, kShortcuts, QStringLiteral("ShortcutsChanged"),
                         {QVariant::fromValue(QDBusObjectPath(m_server->record.shortcutSession)),
                          QVariant::fromValue(changed)});
}

void FakePortal::closeRemoteDesktopSession()
{
    QMutexLocker lock(&m_server->mutex);
    m_server->emitSignal(m_server->remoteClient, m_server->record.remoteDesktopSession, kSession,
                         QStringLiteral("Closed"), {QVariantMap()});
}
