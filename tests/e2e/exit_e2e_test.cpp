// Every way out of the running program: it ends on its own with status 0,
// nothing but our log lines on its output, and every copied text on disk.
// When its X server goes away it may end non-zero, but never by a crash.
#include <csignal>

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include "support/e2esteps.h"
#include "support/runningapp.h"

namespace {

const QList<QByteArray> kCopies = {"premier texte copié avant de quitter", "second texte copié avant de quitter"};

// What a crash or a memory fault leaves in the program's output.
QStringList faultLines(const QString &log)
{
    QStringList found;
    for (const QString &line : log.split(u'\n', Qt::SkipEmptyParts)) {
        for (const char *marker : {"malloc", "AddressSanitizer", "LeakSanitizer", "runtime error", "Aborted",
                                   "core dumped", "Segmentation fault", "double free", "corrupted"}) {
            if (line.contains(QLatin1String(marker)))
                found << line;
        }
    }
    return found;
}

// Lines that are not ours (every line of our log starts with the app name).
QStringList foreignLines(const QString &log)
{
    QStringList found;
    for (const QString &line : log.split(u'\n', Qt::SkipEmptyParts)) {
        if (!line.startsWith(QLatin1String("Bramblet [core] ")))
            found << line;
    }
    return found;
}

bool historyHolds(const QString &itemsPath, const QByteArray &text)
{
    for (const QJsonValue &value : readItems(itemsPath)) {
        if (QByteArray::fromBase64(value.toObject().value(QStringLiteral("raw")).toString().toLatin1()) == text
            || value.toObject().value(QStringLiteral("preview")).toString() == QString::fromUtf8(text))
            return true;
    }
    return false;
}

// Copies each text and waits until the program has stored it.
::testing::AssertionResult copyAll(RunningApp &app, const QList<QByteArray> &texts)
{
    int stored = 0;
    for (const QByteArray &text : texts) {
        if (copyWithXclip(text) != 0)
            return ::testing::AssertionFailure() << "xclip failed";
        ++stored;
        if (!QTest::qWaitFor([&] {
                app.waitForLog(QString(), 0);
                return app.log().count(QStringLiteral("Store: insert item")) >= stored;
            }, 5000))
            return ::testing::AssertionFailure() << "not stored: " << text.toStdString() << "\n" << app.log().toStdString();
    }
    return ::testing::AssertionSuccess();
}

// Waits for the program to end by itself, reading its output to the end.
bool waitForExit(RunningApp &app, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (app.process().state() != QProcess::NotRunning && !deadline.hasExpired())
        app.waitForLog(QStringLiteral("\x01never\x01"), 100);
    app.waitForLog(QString(), 0);
    return app.process().state() == QProcess::NotRunning;
}

struct WayOut
{
    const char *name;
    // Asks the running program to leave.
    std::function<::testing::AssertionResult(RunningApp &)> leave;
};

::testing::AssertionResult sendSignal(RunningApp &app, int signalNumber)
{
    if (::kill(pid_t(app.pid()), signalNumber) != 0)
        return ::testing::AssertionFailure() << "kill failed";
    return ::testing::AssertionSuccess();
}

const WayOut kWaysOut[] = {
    {"quit_command",
     [](RunningApp &app) {
         QByteArray out;
         const int code = app.runCommand({QStringLiteral("quit")}, &out);
         if (code != 0)
             return ::testing::AssertionFailure() << "bramblet quit answered " << code;
         return ::testing::AssertionSuccess();
     }},
    // The settings window's "Quitter Bramblet" (Ctrl+Q) runs the same quit
    // as the tray panel's button.
    {"quit_from_the_window",
     [](RunningApp &app) {
         if (!app.waitForLog(QStringLiteral("Settings: window shown")))
             return ::testing::AssertionFailure() << "no settings window";
         QByteArray ids;
         if (xdotool({QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("Réglages Bramblet")}, &ids) != 0)
             return ::testing::AssertionFailure() << "settings window not found";
         const QString id = QString::fromLatin1(ids).split(u'\n', Qt::SkipEmptyParts).value(0);
         // Real key presses (XTEST) to the active window: events sent to a
         // window directly would leave the keyboard state behind.
         xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), id});
         if (!pressKeys(QStringLiteral("ctrl+q")))
             return ::testing::AssertionFailure() << "xdotool key failed";
         return ::testing::AssertionSuccess();
     }},
    {"sigterm", [](RunningApp &app) { return sendSignal(app, SIGTERM); }},
    {"sigint", [](RunningApp &app) { return sendSignal(app, SIGINT); }},
};

class ExitE2E : public ::testing::TestWithParam<WayOut>
{
protected:
    void SetUp() override
    {
        const QString reason = RunningApp::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        if (const QString missing = missingProgram({QStringLiteral("xclip"), QStringLiteral("xdotool")}); !missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
    }
};

TEST_P(ExitE2E, leaves_with_status_zero_and_the_history_whole)
{
    RunningApp app;
    ASSERT_TRUE(app.start()) << app.log().toStdString();
    ASSERT_TRUE(app.waitForLog(QStringLiteral("ClipboardWatcher start()")));
    ASSERT_TRUE(copyAll(app, kCopies));

    ASSERT_TRUE(GetParam().leave(app));
    ASSERT_TRUE(waitForExit(app)) << "still running\n" << app.log().toStdString();

    const QString log = app.log();
    EXPECT_EQ(app.process().exitStatus(), QProcess::NormalExit) << log.toStdString();
    EXPECT_EQ(app.process().exitCode(), 0) << log.toStdString();
    EXPECT_TRUE(faultLines(log).isEmpty()) << faultLines(log).join(u'\n').toStdString();
    EXPECT_TRUE(foreignLines(log).isEmpty()) << foreignLines(log).join(u'\n').toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("App: quitting"))) << log.toStdString();
    for (const QByteArray &text : kCopies)
        EXPECT_TRUE(historyHolds(app.itemsPath(), text)) << text.toStdString() << "\n"
                                                         << readTextFile(app.itemsPath()).toStdString();
}

INSTANTIATE_TEST_SUITE_P(WaysOut, ExitE2E, ::testing::ValuesIn(kWaysOut),
                         [](const ::testing::TestParamInfo<WayOut> &info) { return std::string(info.param.name); });

// A display of the test's own, to pull from under the program.
class PrivateDisplay final
{
public:
    PrivateDisplay()
    {
        for (int number = 150 + int(QCoreApplication::applicationPid() % 50); number < 260; ++number) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))
                || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
                continue;
            m_name = QStringLiteral(":%1").arg(number);
            break;
        }
        m_server.start(QStringLiteral("Xvfb"), {m_name, QStringLiteral("-screen"), QStringLiteral("0"),
                                               QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                               QStringLiteral("tcp")});
        m_server.waitForStarted(5000);
        m_ready = QTest::qWaitFor([this] {
            return QFile::exists(QStringLiteral("/tmp/.X11-unix/X") + m_name.mid(1));
        }, 10000);
    }
    ~PrivateDisplay() { kill(); }

    bool ready() const { return m_ready; }
    QString name() const { return m_name; }
    void kill()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.kill();
        m_server.waitForFinished(5000);
    }

private:
    QString m_name;
    QProcess m_server;
    bool m_ready = false;
};

TEST(ExitE2EDisplay, display_going_away_ends_the_program_without_a_crash)
{
    if (const QString reason = RunningApp::unavailableReason(); !reason.isEmpty())
        GTEST_SKIP() << reason.toStdString();
    if (const QString missing = missingProgram({QStringLiteral("Xvfb"), QStringLiteral("xclip")}); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PrivateDisplay display;
    ASSERT_TRUE(display.ready()) << "no private X server on " << display.name().toStdString();
    const QByteArray testDisplay = qgetenv("DISPLAY");
    qputenv("DISPLAY", display.name().toLocal8Bit());

    RunningApp app;
    const bool started = app.start();
    // xclip talks to the program's display too.
    const ::testing::AssertionResult copied = started ? copyAll(app, kCopies) : ::testing::AssertionFailure();
    qputenv("DISPLAY", testDisplay);
    ASSERT_TRUE(started) << app.log().toStdString();
    ASSERT_TRUE(copied);

    display.kill();
    ASSERT_TRUE(waitForExit(app)) << "still running without its display\n" << app.log().toStdString();

    const QString log = app.log();
    EXPECT_EQ(app.process().exitStatus(), QProcess::NormalExit) << "ended by a signal\n" << log.toStdString();
    EXPECT_NE(app.process().exitCode(), 134) << log.toStdString();
    EXPECT_TRUE(faultLines(log).isEmpty()) << faultLines(log).join(u'\n').toStdString();
    for (const QByteArray &text : kCopies)
        EXPECT_TRUE(historyHolds(app.itemsPath(), text)) << text.toStdString();
}

} // namespace
