#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Our small X client that records what is pasted into it
// (tests/e2e/paste_target_client.cpp), run for one test and killed with it.
class PasteTarget final
{
public:
    // `program`: the built client (BRAMBLET_PASTE_TARGET in the tests).
    explicit PasteTarget(const QString &program);
    ~PasteTarget();
    PasteTarget(const PasteTarget &) = delete;
    PasteTarget &operator=(const PasteTarget &) = delete;

    // Starts the client, waits (5 s) for its window and activates it; false
    // when any step failed.
    bool start();
    // Activates the client until it is the active window (8 s at most): the
    // program's own windows may open and take the focus meanwhile.
    bool activate();
    // Ends the client if it still runs.
    void stop();

    // The client's window id as xdotool prints it; empty before start().
    QString window() const { return m_window; }
    // Everything pasted into the client so far.
    QString received() const;

private:
    QString outFile() const { return m_tmp.path() + QStringLiteral("/received.txt"); }

    QString m_program;
    QTemporaryDir m_tmp;
    QProcess m_process;
    QString m_window;
};
