// Every way out of the running program: it ends on its own with status 0,
// nothing but our log lines on its output, and every copied text on disk.
// When its X server goes away it may end non-zero, but never by a crash.
#include <csignal>

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QJsonObject>
#include <QProcess>

#include "support/e2esteps.h"
#include "support/e2etest.h"
#include "support/patience.h"

namespace {

const QStringList kCopies = {QStringLiteral("premier texte copié avant de quitter"),
                             QStringLiteral("second texte copié avant de quitter")};

using Assertion = ::testing::AssertionResult;

// Waits for the program to end by itself, reading its output to the end.
bool waitForExit(RunningApp &app)
{
    QDeadlineTimer deadline(scaledMs(10000));
    while (app.process().state() != QProcess::NotRunning && !deadline.hasExpired())
        app.waitForLog(QStringLiteral("\x01never\x01"), 100);
    app.waitForLog(QString(), 0);
    return app.process().state() == QProcess::NotRunning;
}

// Starts a real system tray (trayer, on the top edge); false when its window
// did not come up within 5 s.
bool startTray(QProcess &trayer)
{
    trayer.start(QStringLiteral("trayer"),
                 words(QStringLiteral("--edge top --align right --widthtype request --height 28 --transparent false")));
    return trayer.waitForStarted() && waitUntil([] { return xdotool(QStringLiteral("search --class trayer")) == 0; }, 5000);
}

// Where our icon is: the centre of the tray's window once an icon is
// embedded (it grows from 2 px to the icon's width); nothing before.
std::optional<QPoint> trayIconCentre()
{
    QByteArray ids;
    xdotool(QStringLiteral("search --class trayer"), &ids);
    for (const QString &id : QString::fromLatin1(ids).split(u'\n', Qt::SkipEmptyParts)) {
        if (const QRect frame = windowFrame(id); frame.width() >= 16 && frame.height() >= 16)
            return frame.center();
    }
    return std::nullopt;
}

// Where to click the panel's "Quitter Bramblet": the lower of its two red
// buttons (the other empties the history). Nothing until both show: the
// panel scrolls, and Quitter is below the fold when it opens.
std::optional<QPoint> quitButtonIn(const QImage &shot)
{
    QList<QRect> bands; // around the rows with 4 red pixels or more
    for (int y = 0; y < shot.height(); ++y) {
        QRect row;
        int reds = 0;
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (std::abs(c.red() - 255) < 40 && std::abs(c.green() - 69) < 40 && std::abs(c.blue() - 58) < 40) {
                row |= QRect(x, y, 1, 1);
                ++reds;
            }
        }
        if (reds < 4)
            continue;
        // A red row more than 10 px below the last band starts a new one.
        if (bands.isEmpty() || y - bands.last().bottom() > 10)
            bands.append(row);
        else
            bands.last() |= row;
    }
    return bands.size() == 2 ? std::optional(bands.last().center()) : std::nullopt;
}

Assertion quitFromTheTrayPanel(RunningApp &app)
{
    std::optional<QPoint> icon;
    if (!waitUntil([&] { return (icon = trayIconCentre()).has_value(); }, 10000))
        return ::testing::AssertionFailure() << "no icon in the tray\n" << app.log().toStdString();
    // The settings window opens at launch; the panel must open above it.
    if (!app.waitForLog(QStringLiteral("Settings: window shown")))
        return ::testing::AssertionFailure() << "no settings window";
    clickAt(*icon);
    if (!app.waitForLog(QStringLiteral("MenuBar: panel opened")))
        return ::testing::AssertionFailure() << "the tray icon did not open the panel\n" << app.log().toStdString();
    QString panel;
    std::optional<QPoint> quit;
    // Scrolls the panel down and looks again until both red buttons show.
    if (!waitUntil([&] {
            panel = visibleWindows(app.pid(), QStringLiteral("^Bramblet$")).value(0);
            if (panel.isEmpty())
                return false;
            xdotool(QStringLiteral("mousemove --window %1 190 260 click --repeat 8 5").arg(panel));
            quit = quitButtonIn(screenshot(panel));
            return quit.has_value();
        }, 5000))
        return ::testing::AssertionFailure() << "no Quitter button seen in the panel";
    xdotool(QStringLiteral("mousemove --window %1 %2 %3 click 1").arg(panel).arg(quit->x()).arg(quit->y()));
    return ::testing::AssertionSuccess();
}

// The settings window's "Quitter Bramblet" (Ctrl+Q).
Assertion quitFromTheWindow(RunningApp &app)
{
    if (!app.waitForLog(QStringLiteral("Settings: window shown")))
        return ::testing::AssertionFailure() << "no settings window";
    const QString settings = visibleWindows(app.pid(), QStringLiteral("Réglages Bramblet")).value(0);
    // Real key presses (XTEST) to the active window: events sent to a
    // window directly would leave the keyboard state behind.
    xdotool(QStringLiteral("windowactivate --sync ") + settings);
    return pressKeys(QStringLiteral("ctrl+q")) ? ::testing::AssertionSuccess()
                                               : ::testing::AssertionFailure() << "xdotool key failed";
}

template <int Signal>
Assertion sendSignal(RunningApp &app)
{
    return ::kill(pid_t(app.pid()), Signal) == 0 ? ::testing::AssertionSuccess()
                                                 : ::testing::AssertionFailure() << "kill failed";
}

Assertion quitCommand(RunningApp &app)
{
    const int code = app.runCommand({QStringLiteral("quit")});
    return code == 0 ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "bramblet quit answered " << code;
}

// The preview window stays open when asked to close (its helper closes it),
// which used to make the program ignore every way out while it showed.
Assertion quitCommandWithThePreviewOpen(RunningApp &app)
{
    if (app.runCommand({QStringLiteral("toggle")}) != 0)
        return ::testing::AssertionFailure() << "bramblet toggle failed";
    if (!waitUntil([&] { return !panelWindow(app.pid()).isEmpty(); }, 5000))
        return ::testing::AssertionFailure() << "the panel did not show";
    if (!pressKeys(QStringLiteral("space")) || !app.waitForLog(QStringLiteral("Preview: Preview opened for")))
        return ::testing::AssertionFailure() << "no preview\n" << app.log().toStdString();
    // Only a window on screen is asked to close.
    if (!waitUntil([&] { return !visibleWindows(app.pid(), QStringLiteral("^Bramblet_Preview")).isEmpty(); }, 5000))
        return ::testing::AssertionFailure() << "the preview window did not show";
    return quitCommand(app);
}

struct WayOut
{
    const char *name;
    // Asks the running program to leave.
    Assertion (*leave)(RunningApp &);
    // Runs with a system tray up before the program starts.
    bool needsTray = false;
};

// Names the way out in test listings instead of dumping its bytes.
void PrintTo(const WayOut &wayOut, std::ostream *os) { *os << wayOut.name; }

const WayOut kWaysOut[] = {
    {"quit_command", quitCommand},
    {"quit_command_with_a_preview_open", quitCommandWithThePreviewOpen},
    {"quit_from_the_window", quitFromTheWindow},
    {"quit_from_the_tray_panel", quitFromTheTrayPanel, true},
    {"sigterm", sendSignal<SIGTERM>},
    {"sigint", sendSignal<SIGINT>},
    {"sighup_when_its_terminal_closes", sendSignal<SIGHUP>},
};

void expectHistoryWhole(const RunningApp &app)
{
    EXPECT_EQ(storedPreviews(app.itemsPath()), kCopies) << readTextFile(app.itemsPath()).toStdString();
}

class ExitE2E : public E2ETest, public ::testing::WithParamInterface<WayOut>
{
protected:
    ExitE2E() : E2ETest(words(QStringLiteral("xclip xdotool trayer import"))) {}
};

TEST_P(ExitE2E, leaves_with_status_zero_and_the_history_whole)
{
    QProcess trayer;
    ASSERT_TRUE(!GetParam().needsTray || startTray(trayer)) << "trayer did not come up";
    ASSERT_TRUE(launch(app));
    for (const QString &text : kCopies)
        ASSERT_TRUE(copy(text.toUtf8()));

    ASSERT_TRUE(GetParam().leave(app));
    ASSERT_TRUE(waitForExit(app)) << "still running\n" << app.log().toStdString();
    const QString log = app.log();
    EXPECT_EQ(app.process().exitStatus(), QProcess::NormalExit) << log.toStdString();
    EXPECT_EQ(app.process().exitCode(), 0) << log.toStdString();
    // Every line of our log starts with the app name; anything else is a
    // fault report or noise from a library.
    for (const QString &line : log.split(u'\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith(QLatin1String("Bramblet [core] "))) << line.toStdString();
    expectHistoryWhole(app);
}

INSTANTIATE_TEST_SUITE_P(WaysOut, ExitE2E, ::testing::ValuesIn(kWaysOut),
                         [](const ::testing::TestParamInfo<WayOut> &info) { return std::string(info.param.name); });

class ExitE2EDisplay : public E2ETest
{
protected:
    ExitE2EDisplay() : E2ETest({QStringLiteral("xclip"), QStringLiteral("Xvfb")}) {}
};

TEST_F(ExitE2EDisplay, display_going_away_ends_the_program_without_a_crash)
{
    // A display of the test's own, to pull from under the program: Xvfb
    // picks a free number and prints it once it listens.
    QProcess server;
    server.start(QStringLiteral("Xvfb"), words(QStringLiteral("-displayfd 1 -screen 0 1280x800x24 -nolisten tcp")));
    ASSERT_TRUE(waitUntil([&] { return server.canReadLine(); }, 10000)) << "no private X server";
    const QString display = QLatin1Char(':') + QString::fromLatin1(server.readLine()).trimmed();
    // The program and xclip both talk to that display.
    const QByteArray testDisplay = qgetenv("DISPLAY");
    qputenv("DISPLAY", display.toLocal8Bit());
    const bool launched = bool(launch(app));
    bool copied = launched;
    for (const QString &text : kCopies)
        copied = copied && bool(copy(text.toUtf8()));
    qputenv("DISPLAY", testDisplay);
    ASSERT_TRUE(launched && copied) << app.log().toStdString();

    server.kill();
    server.waitForFinished(5000);
    ASSERT_TRUE(waitForExit(app)) << "still running without its display\n" << app.log().toStdString();
    // A crash or a memory fault ends it by a signal (glibc's reports abort);
    // a sanitizer report fails the test when the program is stopped.
    EXPECT_EQ(app.process().exitStatus(), QProcess::NormalExit) << "ended by a signal\n" << app.log().toStdString();
    EXPECT_NE(app.process().exitCode(), 134) << app.log().toStdString();
    expectHistoryWhole(app);
}

} // namespace
