// Every way out of the running program: it ends on its own with status 0,
// nothing but our log lines on its output, and every copied text on disk.
// When its X server goes away it may end non-zero, but never by a crash.
#include <csignal>

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include "support/e2esteps.h"
#include "support/patience.h"
#include "support/runningapp.h"
#include "support/systemtray.h"

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
        if (!waitUntil([&] {
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
    QDeadlineTimer deadline(scaledMs(timeoutMs));
    while (app.process().state() != QProcess::NotRunning && !deadline.hasExpired())
        app.waitForLog(QStringLiteral("\x01never\x01"), 100);
    app.waitForLog(QString(), 0);
    return app.process().state() == QProcess::NotRunning;
}

struct WayOut
{
    const char *name;
    // Asks the running program to leave.
    std::function<::testing::AssertionResult(RunningApp &, const SystemTray &)> leave;
    // Runs with a system tray up before the program starts.
    bool needsTray = false;
};

// Names the way out in test listings instead of dumping its bytes.
void PrintTo(const WayOut &wayOut, std::ostream *os) { *os << wayOut.name; }

// The visible tray panel of the program: its window id, empty if none.
QString trayPanel(const RunningApp &app)
{
    QByteArray ids;
    xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
             QString::number(app.pid()), QStringLiteral("--name"), QStringLiteral("^Bramblet$")},
            &ids);
    return QString::fromLatin1(ids).split(u'\n', Qt::SkipEmptyParts).value(0);
}

// Where to click the panel's "Quitter Bramblet": the lower of its two red
// buttons (the other empties the history). Nothing until both show: the
// panel scrolls, and Quitter is below the fold when it opens.
std::optional<QPoint> quitButtonIn(const QImage &shot)
{
    const QColor red(255, 69, 58);
    struct Band
    {
        int top = 0, bottom = 0;
        qint64 sumX = 0, count = 0;
    };
    QList<Band> bands;
    for (int y = 0; y < shot.height(); ++y) {
        qint64 sumX = 0, count = 0;
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (std::abs(c.red() - red.red()) < 40 && std::abs(c.green() - red.green()) < 40
                && std::abs(c.blue() - red.blue()) < 40) {
                ++count;
                sumX += x;
            }
        }
        if (count < 4)
            continue;
        if (bands.isEmpty() || y - bands.last().bottom > 10)
            bands.append({y, y, 0, 0});
        bands.last().bottom = y;
        bands.last().sumX += sumX;
        bands.last().count += count;
    }
    if (bands.size() != 2)
        return std::nullopt;
    const Band &quit = bands.last();
    return QPoint(int(quit.sumX / quit.count), (quit.top + quit.bottom) / 2);
}

::testing::AssertionResult quitFromTheTrayPanel(RunningApp &app, const SystemTray &tray)
{
    std::optional<QPoint> icon;
    if (!waitUntil([&] { return (icon = tray.iconCentre()).has_value(); }, 10000))
        return ::testing::AssertionFailure() << "no icon in the tray\n" << app.log().toStdString();
    // The settings window opens at launch; the panel must open above it.
    if (!app.waitForLog(QStringLiteral("Settings: window shown")))
        return ::testing::AssertionFailure() << "no settings window";
    xdotool({QStringLiteral("mousemove"), QString::number(icon->x()), QString::number(icon->y()), QStringLiteral("click"),
             QStringLiteral("1")});
    if (!app.waitForLog(QStringLiteral("MenuBar: panel opened")))
        return ::testing::AssertionFailure() << "the tray icon did not open the panel\n" << app.log().toStdString();
    QString panel;
    std::optional<QPoint> quit;
    // Scrolls the panel down and looks again until both red buttons show.
    if (!waitUntil([&] {
            panel = trayPanel(app);
            if (panel.isEmpty())
                return false;
            xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), panel, QStringLiteral("190"),
                     QStringLiteral("260"), QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("8"),
                     QStringLiteral("5")});
            QByteArray png;
            runTool(QStringLiteral("import"), {QStringLiteral("-window"), panel, QStringLiteral("png:-")}, &png);
            quit = quitButtonIn(QImage::fromData(png, "PNG"));
            return quit.has_value();
        }, 5000))
        return ::testing::AssertionFailure() << "no Quitter button seen in the panel";
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), panel, QString::number(quit->x()),
             QString::number(quit->y()), QStringLiteral("click"), QStringLiteral("1")});
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult sendSignal(RunningApp &app, int signalNumber)
{
    if (::kill(pid_t(app.pid()), signalNumber) != 0)
        return ::testing::AssertionFailure() << "kill failed";
    return ::testing::AssertionSuccess();
}

const WayOut kWaysOut[] = {
    {"quit_command",
     [](RunningApp &app, const SystemTray &) {
         QByteArray out;
         const int code = app.runCommand({QStringLiteral("quit")}, &out);
         if (code != 0)
             return ::testing::AssertionFailure() << "bramblet quit answered " << code;
         return ::testing::AssertionSuccess();
     }},
    // The settings window's "Quitter Bramblet" (Ctrl+Q).
    {"quit_from_the_window",
     [](RunningApp &app, const SystemTray &) {
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
    {"quit_from_the_tray_panel", quitFromTheTrayPanel, true},
    {"sigterm", [](RunningApp &app, const SystemTray &) { return sendSignal(app, SIGTERM); }},
    {"sigint", [](RunningApp &app, const SystemTray &) { return sendSignal(app, SIGINT); }},
};

class ExitE2E : public ::testing::TestWithParam<WayOut>
{
protected:
    void SetUp() override
    {
        const QString reason = RunningApp::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        QStringList programs{QStringLiteral("xclip"), QStringLiteral("xdotool")};
        if (GetParam().needsTray)
            programs << QStringLiteral("trayer") << QStringLiteral("xwininfo") << QStringLiteral("import");
        if (const QString missing = missingProgram(programs); !missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
    }
};

TEST_P(ExitE2E, leaves_with_status_zero_and_the_history_whole)
{
    SystemTray tray;
    if (GetParam().needsTray) {
        ASSERT_TRUE(tray.start()) << "trayer did not come up";
    }
    RunningApp app;
    ASSERT_TRUE(app.start()) << app.log().toStdString();
    ASSERT_TRUE(app.waitForLog(QStringLiteral("ClipboardWatcher start()")));
    ASSERT_TRUE(copyAll(app, kCopies));

    ASSERT_TRUE(GetParam().leave(app, tray));
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
        m_ready = waitUntil([this] {
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
