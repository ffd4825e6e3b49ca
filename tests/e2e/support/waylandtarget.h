#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs wl-copy with `args`, `input` on its standard input; its exit status.
int wlCopy(const QStringList &args, const QByteArray &input = QByteArray());

// Our paste-target client run as a native Wayland client: it records what is
// pasted into it, and with a terminal app id it takes Ctrl+Shift+V as a paste.
class WaylandTarget final
{
public:
    // `program`: the built client (BRAMBLET_PASTE_TARGET in the tests).
    explicit WaylandTarget(const QString &program, const QString &terminalAppId = QString());
    ~WaylandTarget();
    WaylandTarget(const WaylandTarget &) = delete;
    WaylandTarget &operator=(const WaylandTarget &) = delete;

    // Waits (8 s at most) for the client's window to be up.
    bool waitReady();
    // Everything pasted into the client so far.
    QString received() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_output;
};
