#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QJsonObject>
#include <QObject>
#include <QString>

class QLocalServer;
class QLockFile;

// The single-instance rendezvous: a lock that only one process per history
// folder can hold, and a local socket in $XDG_RUNTIME_DIR on which the holder
// answers one JSON request per connection with one JSON reply.
class InstanceChannel final : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<QJsonObject(const QJsonObject &request)>;

    // `socketPath` / `lockPath` empty: the standard locations below.
    explicit InstanceChannel(QString socketPath = QString(), QString lockPath = QString(), QObject *parent = nullptr);
    ~InstanceChannel() override;

    // $XDG_RUNTIME_DIR/<app id>.socket; without XDG_RUNTIME_DIR, the temporary
    // folder with the user id in the name.
    static QString defaultSocketPath();
    // $XDG_DATA_HOME/Bramblet/instance.lock (the history folder, made 0700).
    static QString defaultLockPath();

    QString socketPath() const { return m_socketPath; }

    // Takes the lock without waiting. False when another live process holds
    // it; a lock left by a dead process is taken over.
    bool tryLock();
    // Whether a live process holds the lock at `lockPath` (empty: the default).
    static bool isLockHeld(const QString &lockPath = QString());
    QString lockPath() const { return m_lockPath; }

    // Starts answering on the socket with `handler` (main thread). Removes a
    // stale socket first; false when listening failed (logged).
    bool listen(Handler handler);

    // Client side: sends `request` and waits up to `timeoutMs` for the reply,
    // retrying the connection while the holder starts up. Empty when no
    // instance answered. Blocking; meant for the short-lived client process.
    static std::optional<QJsonObject> send(const QString &socketPath, const QJsonObject &request, int timeoutMs);

private:
    QString m_socketPath;
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    Handler m_handler;
};
