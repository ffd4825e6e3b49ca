#include "portalbus.h"

#include <atomic>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QObject>
#include <QSet>

#include "platform/appid.h"
#include "platform/logger.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Receives one portal signal for a handler; disconnects when deleted.
class SignalListener final : public QObject
{
    Q_OBJECT
public:
    SignalListener(QString connectionName, QString path, QString interface, QString name,
                   PortalBus::SignalHandler handler, QObject *parent)
        : QObject(parent), m_connectionName(std::move(connectionName)), m_path(std::move(path)),
          m_interface(std::move(interface)), m_name(std::move(name)), m_handler(std::move(handler))
    {
        QDBusConnection(m_connectionName)
            .connect(kService, m_path, m_interface, m_name, this, SLOT(receive(QDBusMessage)));
    }
    ~SignalListener() override
    {
        QDBusConnection(m_connectionName)
            .disconnect(kService, m_path, m_interface, m_name, this, SLOT(receive(QDBusMessage)));
    }

private slots:
    void receive(const QDBusMessage &message)
    {
        // A copy: the handler may delete this listener.
        const PortalBus::SignalHandler handler = m_handler;
        handler(message.arguments());
    }

private:
    QString m_connectionName;
    QString m_path;
    QString m_interface;
    QString m_name;
    PortalBus::SignalHandler m_handler;
};

void registerHostApp(const QDBusConnection &bus)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.host.portal.Registry"),
                                                       QStringLiteral("Register"));
    call << QString::fromLatin1(kAppId) << QVariantMap();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 2000);
    // Portals before the registry find the app id from the systemd scope;
    // an error here only means that.
    if (reply.type() == QDBusMessage::ErrorMessage)
        Log::debug(QStringLiteral("Portal: app id not registered (%1)").arg(reply.errorName()));
}

} // namespace

namespace PortalBus {

QString connectionName(const QString &busAddress)
{
    static QSet<QString> registered;
    const QDBusConnection bus = busAddress.isEmpty()
        ? QDBusConnection::sessionBus()
        : QDBusConnection::connectToBus(busAddress, QStringLiteral("bramblet-portal:") + busAddress);
    if (bus.isConnected() && !registered.contains(bus.name())) {
        registered.insert(bus.name());
        registerHostApp(bus);
    }
    return bus.name();
}

std::optional<uint32_t> interfaceVersion(const QString &busAddress, const QString &interface, int timeoutMs)
{
    const QDBusConnection bus(connectionName(busAddress));
    if (!bus.isConnected())
        return std::nullopt;
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << interface << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    bool ok = false;
    const uint32_t version = reply.arguments().first().value<QDBusVariant>().variant().toUInt(&ok);
    if (!ok || version == 0)
        return std::nullopt;
    return version;
}

QObject *connectSignal(const QString &connectionName, const QString &path, const QString &interface,
                       const QString &name, QObject *context, SignalHandler handler)
{
    return new SignalListener(connectionName, path, interface, name, std::move(handler), context);
}

void callAndForget(const QString &connectionName, const QString &path, const QString &interface,
                   const QString &method, const QVariantList &arguments, const QString &what)
{
    QDBusConnection bus(connectionName);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, path, interface, method);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [what](QDBusPendingCallWatcher *w) {
        if (w->isError())
            Log::error(QStringLiteral("Portal: %1 failed: %2").arg(what, w->error().message()));
        w->deleteLater();
    });
}

void closeSession(const QString &connectionName, const QString &sessionPath)
{
    if (sessionPath.isEmpty())
        return;
    callAndForget(connectionName, sessionPath, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close"),
                  {}, QStringLiteral("closing session ") + sessionPath);
}

QString nextToken()
{
    static std::atomic<unsigned> counter{0};
    return QStringLiteral("bramblet%1").arg(++counter);
}

QString objectPath(const QString &connectionName, const QString &kind, const QString &token)
{
    QString sender = QDBusConnection(connectionName).baseService();
    sender.remove(0, sender.startsWith(QLatin1Char(':')) ? 1 : 0);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("%1/%2/%3/%4").arg(kPath, kind, sender, token);
}

QString pathFrom(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    if (value.metaType() == QMetaType::fromType<QString>())
        return value.toString();
    return {};
}

QVariantMap mapFrom(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

} // namespace PortalBus

#include "portalbus.moc"
