#include "portalrequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "platform/logger.h"
#include "platform/portal/portalbus.h"

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
} // namespace

PortalRequest::PortalRequest(QString connectionName, QString method, QObject *context, Done done)
    : QObject(context), m_connectionName(std::move(connectionName)), m_method(std::move(method)), m_done(std::move(done))
{
}

void PortalRequest::send(const QString &connectionName, const QString &interface, const QString &method,
                         QVariantList arguments, QObject *context, Done done)
{
    auto *request = new PortalRequest(connectionName, method, context, std::move(done));
    const QString token = PortalBus::nextToken();
    QVariantMap options = arguments.isEmpty() ? QVariantMap() : arguments.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    arguments.append(options);

    // Listening before calling: the Response may follow the reply at once.
    request->listen(PortalBus::objectPath(connectionName, QStringLiteral("request"), token));

    QDBusConnection bus(connectionName);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), request);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, request, [request](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError()) {
            Log::error(QStringLiteral("Portal: %1 failed: %2").arg(request->m_method, reply.error().message()));
            request->finish(kFailed, {});
            return;
        }
        // Portals older than the handle_token convention choose the path.
        const QString handle = reply.value().path();
        if (!handle.isEmpty() && handle != request->m_path)
            request->listen(handle);
    });
}

void PortalRequest::listen(const QString &path)
{
    delete m_listener;
    m_path = path;
    m_listener = PortalBus::connectSignal(m_connectionName, path, kRequestInterface, QStringLiteral("Response"), this,
                                          [this](const QVariantList &arguments) {
                                              if (arguments.size() < 2) {
                                                  finish(kFailed, {});
                                                  return;
                                              }
                                              finish(arguments.at(0).toUInt(), PortalBus::mapFrom(arguments.at(1)));
                                          });
}

void PortalRequest::finish(uint32_t response, const QVariantMap &results)
{
    if (m_finished)
        return;
    m_finished = true;
    delete m_listener;
    m_listener = nullptr;
    deleteLater();
    if (m_done)
        m_done(response, results);
}
