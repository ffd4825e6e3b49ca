#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Our small client that records what is pasted into it
// (tests/e2e/paste_target_client.cpp), run for one test and killed with it:
// an X client, or a native Wayland one that with a terminal app id takes
// Ctrl+Shift+V as a paste.
class PasteTarget final
{
public:
    enum class Platform { X11, Wayland };

    // `program`: the built client (BRAMBLET_PASTE_TARGET in the tests).
    explicit PasteTarget(const QString &program, Platform platform = Platform::X11,
                         const QString &terminalAppId = QString());
    ~PasteTarget();
    PasteTarget(const PasteTarget &) = delete;
    PasteTarget &operator=(const PasteTarget &) = delete;

    // Starts the client and waits (8 s) for its window; on X11 activates it
    // too. False when any step failed.
    bool start();
    // X11: activates the client until it is the active window (8 s at most):
    // the program's own windows may open and take the focus meanwhile.
    bool activate();

    // The client's X window id as xdotool prints it; empty before start().
    QString window() const { return m_window; }
    // Everything pasted into the client so far.
    QString received() const;

private:
    QString outFile() const { return m_tmp.path() + QStringLiteral("/received.txt"); }

    QString m_program;
    Platform m_platform;
    QString m_terminalAppId;
    QTemporaryDir m_tmp;
    QProcess m_process;
    QString m_window;
};
