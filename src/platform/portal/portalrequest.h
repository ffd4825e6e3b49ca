#pragma once

#include <cstdint>
#include <functional>

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

// One call of a portal method that answers through a Request object: adds a
// handle_token to the call's options, listens for the Request's Response
// signal before calling, and reports the response code and results once.
// Main thread only.
class PortalRequest final : public QObject
{
    Q_OBJECT
public:
    // The Request's response codes.
    static constexpr uint32_t kSuccess = 0;
    static constexpr uint32_t kCancelled = 1; // the user dismissed the dialog
    static constexpr uint32_t kFailed = 2;    // anything else, a failed call included

    using Done = std::function<void(uint32_t response, const QVariantMap &results)>;

    // Calls `method` of `interface` on the portal object. The last element of
    // `arguments` is the options map. `done` runs once, from the event loop;
    // never after `context` is destroyed. A call the portal rejects logs one
    // error line and reports kFailed.
    static void send(const QString &connectionName, const QString &interface, const QString &method,
                     QVariantList arguments, QObject *context, Done done);

private:
    PortalRequest(QString connectionName, QString method, QObject *context, Done done);
    void listen(const QString &path);
    void finish(uint32_t response, const QVariantMap &results);

    QString m_connectionName;
    QString m_method;
    QString m_path;
    QObject *m_listener = nullptr;
    Done m_done;
    bool m_finished = false;
};
