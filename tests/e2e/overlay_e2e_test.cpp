// The overlay panel in the real program under a window manager: the
// shortcut shows it over a real X client, arrows and Return paste the chosen
// clip there, Escape empties a search before it hides the panel, and a click
// in another program's window hides it while a click inside does not.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "support/runningapp.h"

namespace {

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString activeWindow()
{
    QByteArray out;
    runTool(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}, &out);
    return QString::fromLatin1(out.trimmed());
}

void xdotool(const QStringList &args)
{
    runTool(QStringLiteral("xdotool"), args);
}

class OverlayE2E : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X display (scripts/run-tests.sh starts Xvfb)";
        const QString reason = RunningApp::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        if (runTool(QStringLiteral("xdotool"), {QStringLiteral("version")}) != 0)
            GTEST_SKIP() << "xdotool is not installed";
        ASSERT_TRUE(app.start()) << app.log().toStdString();
        ASSERT_TRUE(app.waitForLog(QStringLiteral("ClipboardWatcher start()")));
        ASSERT_TRUE(startTarget()) << "the test client did not come up";
    }
    void TearDown() override
    {
        app.stop();
        if (target.state() != QProcess::NotRunning) {
            target.kill();
            target.waitForFinished(3000);
        }
    }

    bool startTarget()
    {
        target.start(QStringLiteral(BRAMBLET_PASTE_TARGET), {outFile()});
        if (!target.waitForStarted(5000))
            return false;
        QByteArray line;
        if (!QTest::qWaitFor([&] {
                line += target.readAllStandardOutput();
                return line.startsWith("READY ");
            }, 5000))
            return false;
        m_targetWindow = QString::fromLatin1(line.mid(6).trimmed());
        return activateTarget();
    }

    bool activateTarget()
    {
        return QTest::qWaitFor([&] {
            if (activeWindow() == m_targetWindow)
                return true;
            xdotool({QStringLiteral("windowactivate"), m_targetWindow});
            return false;
        }, 8000);
    }

    void copy(const QByteArray &text)
    {
        const int before = int(app.log().count(QStringLiteral("Store: insert item")));
        ASSERT_EQ(runTool(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                                    QStringLiteral("-t"), QStringLiteral("UTF8_STRING"),
                                                    QStringLiteral("-i")}, nullptr, text), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            app.waitForLog(QStringLiteral("Store: insert item"), 50);
            return app.log().count(QStringLiteral("Store: insert item")) > before;
        }, 5000)) << app.log().toStdString();
    }

    // The panel: a visible window of the program, 330 px tall.
    QRect panelFrame()
    {
        QByteArray ids;
        runTool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                            QStringLiteral("--pid"), QString::number(app.pid()),
                                            QStringLiteral("--name"), QStringLiteral("^Bramblet$")}, &ids);
        static const QRegularExpression position(QStringLiteral("Position: (\\d+),(\\d+)"));
        static const QRegularExpression geometry(QStringLiteral("Geometry: (\\d+)x(\\d+)"));
        for (const QByteArray &id : ids.split('\n')) {
            if (id.trimmed().isEmpty())
                continue;
            QByteArray out;
            runTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QString::fromLatin1(id.trimmed())}, &out);
            const QString text = QString::fromUtf8(out);
            const auto p = position.match(text);
            const auto g = geometry.match(text);
            if (p.hasMatch() && g.hasMatch() && g.captured(2).toInt() == 330)
                return QRect(p.captured(1).toInt(), p.captured(2).toInt(), g.captured(1).toInt(), 330);
        }
        return {};
    }
    bool panelShown() { return !panelFrame().isNull(); }

    bool showWithShortcut()
    {
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("super+shift+v")});
        return QTest::qWaitFor([&] { return panelShown() && activeWindow() != m_targetWindow; }, 4000);
    }

    QString outFile() const { return m_tmp.path() + QStringLiteral("/received.txt"); }

    RunningApp app;
    QProcess target;
    QTemporaryDir m_tmp;
    QString m_targetWindow;
};

TEST_F(OverlayE2E, shortcut_arrows_and_return_paste_the_chosen_clip_into_the_window_in_front)
{
    copy("premier copié");
    copy("deuxième copié");
    copy("troisième copié");
    ASSERT_TRUE(activateTarget());

    ASSERT_TRUE(showWithShortcut()) << app.log().toStdString();
    // Newest first: "troisième" is selected; two steps right, one back left.
    xdotool({QStringLiteral("key"), QStringLiteral("Right"), QStringLiteral("Right"), QStringLiteral("Left")});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});

    const bool received = QTest::qWaitFor([&] { return readFile(outFile()) == QStringLiteral("deuxième copié"); }, 5000);
    app.waitForLog(QStringLiteral("Paste: SEND"), 200);
    ASSERT_TRUE(received) << "client received: " << readFile(outFile()).toStdString() << "\n" << app.log().toStdString();
    EXPECT_FALSE(panelShown());
    EXPECT_EQ(activeWindow(), m_targetWindow);
    EXPECT_TRUE(app.log().contains(QStringLiteral("Store: suppressNextCapture()")));
}

TEST_F(OverlayE2E, escape_empties_the_search_then_hides_the_panel)
{
    copy("alpha");
    copy("beta");
    ASSERT_TRUE(activateTarget());
    ASSERT_TRUE(showWithShortcut()) << app.log().toStdString();

    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+f")});
    QTest::qWait(400); // the field takes the focus 0.1 s after it appears
    xdotool({QStringLiteral("type"), QStringLiteral("zzz")});
    // In the field, Escape belongs to the field: the panel stays.
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    QTest::qWait(300);
    ASSERT_TRUE(panelShown()) << "Escape in the search field must not reach the panel";

    // A click in the (empty) strip takes the focus from the field.
    const QRect frame = panelFrame();
    xdotool({QStringLiteral("mousemove"), QString::number(frame.center().x()), QString::number(frame.center().y() + 20),
             QStringLiteral("click"), QStringLiteral("1")});
    QTest::qWait(300);
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    QTest::qWait(300);
    EXPECT_TRUE(panelShown()) << "the first Escape empties the query and keeps the panel";
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !panelShown(); }, 3000)) << "the second Escape hides the panel";
}

TEST_F(OverlayE2E, a_click_in_another_window_hides_the_panel_and_a_click_inside_does_not)
{
    copy("un clip");
    ASSERT_TRUE(activateTarget());
    ASSERT_TRUE(showWithShortcut()) << app.log().toStdString();

    const QRect frame = panelFrame();
    // Inside the panel, on the bar's empty left part.
    xdotool({QStringLiteral("mousemove"), QString::number(frame.left() + 40), QString::number(frame.top() + 24),
             QStringLiteral("click"), QStringLiteral("1")});
    QTest::qWait(400);
    ASSERT_TRUE(panelShown()) << "a click inside the panel must not hide it";

    // On the test client, moved to the top-right corner where no window of
    // the program (the settings window opens centred) can cover it.
    xdotool({QStringLiteral("windowmove"), m_targetWindow, QStringLiteral("1280"), QStringLiteral("10")});
    xdotool({QStringLiteral("windowsize"), m_targetWindow, QStringLiteral("300"), QStringLiteral("150")});
    ASSERT_TRUE(QTest::qWaitFor([&] {
        QByteArray out;
        runTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), m_targetWindow}, &out);
        return QString::fromUtf8(out).contains(QStringLiteral("Geometry: 300x150"));
    }, 3000));
    ASSERT_TRUE(panelShown()) << "moving another window must not hide the panel";
    xdotool({QStringLiteral("mousemove"), QStringLiteral("1400"), QStringLiteral("90"), QStringLiteral("click"),
             QStringLiteral("1")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !panelShown(); }, 3000)) << app.log().toStdString();
}

} // namespace
