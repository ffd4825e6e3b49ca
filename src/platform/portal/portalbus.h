#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QString>
#include <QVariantList>
#include <QVariantMap>

class QObject;

// The session bus as the desktop portal (org.freedesktop.portal.Desktop at
// /org/freedesktop/portal/desktop) sees us. A bus is named by its address;
// the empty address is the user's session bus. Main thread only.
namespace PortalBus {

// The name of our connection to that bus, opened on first use. On first use
// the connection also registers the program's app id with the portal's host
// app registry, where the portal has one, before any portal call is made.
QString connectionName(const QString &busAddress);

// The `version` property of a portal interface; none when the bus, the portal
// or the interface is missing, or no answer came within `timeoutMs`. Blocks.
std::optional<uint32_t> interfaceVersion(const QString &busAddress, const QString &interface, int timeoutMs = 2000);

// Calls `handler` with the arguments of every signal `name` of `interface`
// that the portal sends from `path`, until the returned object is deleted (it
// is a child of `context`, so at the latest with it).
using SignalHandler = std::function<void(const QVariantList &arguments)>;
QObject *connectSignal(const QString &connectionName, const QString &path, const QString &interface,
                       const QString &name, QObject *context, SignalHandler handler);

// Calls a portal method and forgets the answer; a failure is logged with `what`.
void callAndForget(const QString &connectionName, const QString &path, const QString &interface,
                   const QString &method, const QVariantList &arguments, const QString &what);

// Closes a portal session (org.freedesktop.portal.Session.Close).
void closeSession(const QString &connectionName, const QString &sessionPath);

// A fresh token for handle_token and session_handle_token: a valid object
// path element, unique in this process.
QString nextToken();

// The path of an object the portal makes for us ("request" or "session"):
// /org/freedesktop/portal/desktop/<kind>/<sender>/<token>, where sender is our
// unique bus name without its ':' and with '.' turned into '_'.
QString objectPath(const QString &connectionName, const QString &kind, const QString &token);

// An object path, or a string holding one, read from a result value; empty
// when the value is neither.
QString pathFrom(const QVariant &value);

// A vardict read from a signal argument or a result value; empty when the
// value holds none.
QVariantMap mapFrom(const QVariant &value);

} // namespace PortalBus
