#include "runningapp.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include "patience.h"

namespace {

// In the sanitizer build a report of AddressSanitizer, LeakSanitizer or
// UndefinedBehaviorSanitizer from the program fails the test, even when the
// program got as far as the test needed.
void expectNoSanitizerReport(const QByteArray &output, const char *who)
{
    static const QRegularExpression report(
        QStringLiteral("(ERROR: [A-Za-z]+Sanitizer|SUMMARY: [A-Za-z]+Sanitizer|: runtime error: )"));
    const QString text = QString::fromUtf8(output);
    const QRegularExpressionMatch m = report.match(text);
    if (m.hasMatch())
        ADD_FAILURE() << who << " reported a memory or undefined-behaviour fault:\n"
                      << text.mid(qMax<qsizetype>(0, m.capturedStart() - 2000)).toStdString();
}

// Waits for `p` to end (killed after `timeoutMs`, scaled); its exit code,
// -1 when it did not end by itself; its standard output in `out`.
int finish(QProcess &p, int timeoutMs, QByteArray *out)
{
    if (!p.waitForFinished(scaledMs(timeoutMs))) {
        p.kill();
        p.waitForFinished(1000);
        return -1;
    }
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

RunningApp::RunningApp() : m_root(m_tmp.path())
{
    for (const char *sub : {"home", "data", "config", "cache", "runtime"})
        QDir(m_root).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(m_root + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

RunningApp::~RunningApp() { stop(); }

QString RunningApp::unavailableReason()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return QStringLiteral("no X display (run through scripts/run-tests.sh)");
    const QString binary = qEnvironmentVariable("BRAMBLET_BINARY");
    if (binary.isEmpty() || !QFileInfo(binary).isExecutable())
        return QStringLiteral("BRAMBLET_BINARY does not name the built program");
    return {};
}

QProcessEnvironment RunningApp::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_root + QStringLiteral("/home"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_root + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_root + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("BRAMBLET_LOG"), QStringLiteral("stderr"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(m_extraEnv);
    return env;
}

bool RunningApp::start()
{
    checkOutput(); // what an earlier run of this object left
    m_log.clear();
    m_checkedUpTo = 0;
    m_process.setProcessEnvironment(environment());
    m_process.start(qEnvironmentVariable("BRAMBLET_BINARY"), QStringList());
    return m_process.waitForStarted(scaledMs(10000)) && waitForLog(QStringLiteral("ClipboardStore init"), 10000);
}

int RunningApp::runCommand(const QStringList &args, QByteArray *out, QByteArray *err) const
{
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(qEnvironmentVariable("BRAMBLET_BINARY"), args);
    const int code = finish(p, 10000, out);
    const QByteArray stderrBytes = p.readAllStandardError();
    expectNoSanitizerReport(stderrBytes, "the command-line client");
    if (err)
        *err = stderrBytes;
    return code;
}

void RunningApp::drain() { m_log += m_process.readAll(); }

bool RunningApp::waitForLog(const QString &text, int timeoutMs)
{
    const QByteArray needle = text.toUtf8();
    QDeadlineTimer deadline(scaledMs(timeoutMs));
    for (;;) {
        drain();
        if (m_log.contains(needle))
            return true;
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
            return m_log.contains(needle);
        m_process.waitForReadyRead(50);
        QCoreApplication::processEvents();
    }
}

void RunningApp::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        // The sanitizer build checks for leaks on the way out, which takes a while.
        if (!m_process.waitForFinished(scaledMs(15000))) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    checkOutput();
}

void RunningApp::checkOutput()
{
    drain();
    expectNoSanitizerReport(m_log.mid(m_checkedUpTo), "the program");
    m_checkedUpTo = m_log.size();
}

int runTool(const QString &program, const QStringList &args, QByteArray *out, const QByteArray &stdinData,
            int timeoutMs)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(scaledMs(timeoutMs)))
        return -1;
    if (!stdinData.isNull()) {
        p.write(stdinData);
        p.closeWriteChannel();
    }
    return finish(p, timeoutMs, out);
}
