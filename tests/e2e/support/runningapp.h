#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Starts the real program (env BRAMBLET_BINARY) against the test's X display
// with a private HOME and XDG folders, logging to stderr, and reads its lines.
// Every timeout below is scaled for slow builds (see patience.h).
class RunningApp final
{
public:
    // Its folders live in a temporary folder of its own; start() again
    // restarts the program on the same history.
    RunningApp();
    ~RunningApp();
    RunningApp(const RunningApp &) = delete;
    RunningApp &operator=(const RunningApp &) = delete;

    // Why the end-to-end tier cannot run here (no DISPLAY, no binary), or empty.
    static QString unavailableReason();

    // Starts the program; waits (10 s) until it logs its store's start.
    // False (with the output so far in log()) when it did not come up in time.
    bool start();
    // Runs the binary once more with `args` against the same folders (a
    // second launch or a command-line call) and returns its exit code;
    // its stdout/stderr land in `out`/`err`.
    int runCommand(const QStringList &args, QByteArray *out = nullptr, QByteArray *err = nullptr) const;
    // Waits for a log line containing `text` (already seen or new).
    bool waitForLog(const QString &text, int timeoutMs = 5000);
    // Asks the program to quit (SIGTERM, then SIGKILL) and waits for it. A
    // sanitizer report in its output fails the current test.
    void stop();

    // Sets `name` for the program and its command-line calls from the next start on.
    void setEnv(const QString &name, const QString &value) { m_extraEnv.insert(name, value); }

    QString log() const { return QString::fromUtf8(m_log); }
    QString itemsPath() const { return m_root + QStringLiteral("/data/Bramblet/items.json"); }
    QString defaultsPath() const { return m_root + QStringLiteral("/config/Bramblet/Bramblet.conf"); }
    QProcess &process() { return m_process; }
    qint64 pid() const { return m_process.processId(); }

private:
    QProcessEnvironment environment() const;
    void drain();
    // Fails the current test on a sanitizer report not looked at yet.
    void checkOutput();

    QTemporaryDir m_tmp;
    QString m_root;
    QProcessEnvironment m_extraEnv;
    QProcess m_process;
    QByteArray m_log;
    qsizetype m_checkedUpTo = 0;
};

// Runs a helper command (xclip, xdotool, ...) to completion; returns its exit
// code and, when asked, its standard output.
int runTool(const QString &program, const QStringList &args, QByteArray *out = nullptr,
            const QByteArray &stdinData = QByteArray(), int timeoutMs = 10000);
