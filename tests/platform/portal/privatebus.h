#pragma once

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

// A D-Bus session bus of the test's own: dbus-daemon with a minimal
// configuration (no service activation, everyone may own any name) on a
// socket in a temporary folder, stopped when this object goes.
class PrivateBus final
{
public:
    PrivateBus()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (program.isEmpty() || !file.open(QIODevice::WriteOnly)) {
            m_error = QStringLiteral("dbus-daemon is not installed (Debian package dbus-daemon) or no temporary folder");
            return;
        }
        file.write(QStringLiteral("<busconfig>\n"
                                  "  <type>session</type>\n"
                                  "  <listen>unix:dir=%1</listen>\n"
                                  "  <auth>EXTERNAL</auth>\n"
                                  "  <policy context=\"default\">\n"
                                  "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                  "    <allow eavesdrop=\"true\"/>\n"
                                  "    <allow own=\"*\"/>\n"
                                  "  </policy>\n"
                                  "</busconfig>\n")
                       .arg(m_dir.path())
                       .toUtf8());
        file.close();
        m_daemon.start(program, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                                 QStringLiteral("--print-address=1")});
        // The address is the daemon's first line, printed once it listens.
        for (int i = 0; i < 3 && !m_daemon.canReadLine() && m_daemon.waitForStarted(5000); ++i)
            m_daemon.waitForReadyRead(5000);
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        if (m_address.isEmpty())
            m_error = QStringLiteral("dbus-daemon printed no address: ") + QString::fromUtf8(m_daemon.readAllStandardError());
    }

    ~PrivateBus()
    {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    // Empty when the daemon could not start; error() says why.
    QString address() const { return m_address; }
    QString error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};
