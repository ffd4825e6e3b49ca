#include "instancechannel.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include "platform/appid.h"
#include "platform/logger.h"

namespace {

// A request or reply is one JSON object on one line; anything longer than
// this is refused rather than buffered without bound.
constexpr qint64 kMaxMessageBytes = 4 * 1024 * 1024;

} // namespace

InstanceChannel::InstanceChannel(QString socketPath, QString lockPath, QObject *parent)
    : QObject(parent)
    , m_socketPath(socketPath.isEmpty() ? defaultSocketPath() : std::move(socketPath))
    , m_lockPath(lockPath.isEmpty() ? defaultLockPath() : std::move(lockPath))
{
}

InstanceChannel::~InstanceChannel()
{
    if (m_server)
        m_server->close();
}

QString InstanceChannel::defaultSocketPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + u'/' + QLatin1String(kAppId) + QStringLiteral(".socket");
    return QDir::tempPath() + u'/' + QLatin1String(kAppId) + u'-' + QString::number(::getuid()) + QStringLiteral(".socket");
}

QString InstanceChannel::defaultLockPath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + u'/' + QLatin1String(kAppName) + QStringLiteral("/instance.lock");
}

bool InstanceChannel::tryLock()
{
    const QString folder = QFileInfo(m_lockPath).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // Only a dead holder makes the lock stale, never its age.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        // Like every file of the history folder: the owner's alone.
        QFile::setPermissions(m_lockPath, QFile::ReadOwner | QFile::WriteOwner);
        return true;
    }
    if (m_lock->error() != QLockFile::LockFailedError)
        Log::error(QStringLiteral("Instance: cannot create lock ") + m_lockPath);
    m_lock.reset();
    return false;
}

bool InstanceChannel::isLockHeld(const QString &lockPath)
{
    QLockFile probe(lockPath.isEmpty() ? defaultLockPath() : lockPath);
    qint64 pid = 0;
    QString host;
    QString app;
    if (!probe.getLockInfo(&pid, &host, &app) || pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

bool InstanceChannel::listen(Handler handler)
{
    m_handler = std::move(handler);
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
    }
    // We hold the lock, so a socket file left here belongs to a dead instance.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        Log::error(QStringLiteral("Instance: cannot listen on ") + m_socketPath + QStringLiteral(": ") + m_server->errorString());
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > kMaxMessageBytes) {
                        Log::error(QStringLiteral("Instance: request too large, connection closed"));
                        socket->abort();
                    }
                    return;
                }
                const QByteArray line = socket->readLine(kMaxMessageBytes);
                QJsonParseError error{};
                const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
                QJsonObject reply;
                if (error.error != QJsonParseError::NoError || !doc.isObject()) {
                    Log::error(QStringLiteral("Instance: unreadable request ignored"));
                    reply = {{QStringLiteral("exit"), 1}, {QStringLiteral("err"), QStringLiteral("Requête illisible.\n")}};
                } else {
                    reply = m_handler ? m_handler(doc.object()) : QJsonObject{};
                }
                socket->write(QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\n');
                socket->flush();
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}

std::optional<QJsonObject> InstanceChannel::send(const QString &socketPath, const QJsonObject &request, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(int(std::max<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
            return std::nullopt;
        // The holder may be between taking the lock and listening.
        QThread::msleep(50);
        if (deadline.hasExpired())
            return std::nullopt;
    }
    socket.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    if (!socket.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime()))))
        return std::nullopt;
    QByteArray buffer;
    while (!buffer.contains('\n')) {
        if (socket.bytesAvailable() == 0
            && !socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
            break;
        buffer += socket.readAll();
        if (buffer.size() > kMaxMessageBytes)
            return std::nullopt;
    }
    // The holder closes the connection right after replying.
    buffer += socket.readAll();
    const QJsonDocument doc = QJsonDocument::fromJson(buffer.trimmed());
    if (!doc.isObject())
        return std::nullopt;
    return doc.object();
}
