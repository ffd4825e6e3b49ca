// A paste from the real program lands in a real X client: the shortcut shows
// the overlay over our test client, Right selects the older clip, Return
// pastes it into the client with the synthesised Ctrl+V, and the write is
// not captured again.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "support/runningapp.h"

namespace {

QJsonArray readItems(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    return doc.isArray() ? doc.array() : doc.object().value(QStringLiteral("items")).toArray();
}

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

class PasteE2E : public ::testing::Test
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
        const bool ready = QTest::qWaitFor([&] {
            line += target.readAllStandardOutput();
            return line.startsWith("READY ");
        }, 5000);
        if (!ready)
            return false;
        m_targetWindow = QString::fromLatin1(line.mid(6).trimmed());
        return activateTarget();
    }

    // Activates the client until it is the active window (the program's own
    // windows may open and take the focus meanwhile).
    bool activateTarget()
    {
        return QTest::qWaitFor([&] {
            if (activeWindow() == m_targetWindow)
                return true;
            runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), m_targetWindow});
            return false;
        }, 8000);
    }

    void copy(const QByteArray &text, int expectedCount)
    {
        ASSERT_EQ(runTool(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                                    QStringLiteral("-t"), QStringLiteral("UTF8_STRING"),
                                                    QStringLiteral("-i")}, nullptr, text), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return readItems(app.itemsPath()).size() == expectedCount; }, 5000))
            << app.log().toStdString();
    }

    QString outFile() const { return m_tmp.path() + QStringLiteral("/received.txt"); }

    RunningApp app;
    QProcess target;
    QTemporaryDir m_tmp;
    QString m_targetWindow;
};

TEST_F(PasteE2E, chosen_clip_is_pasted_into_the_client_and_not_captured_again)
{
    ASSERT_TRUE(startTarget()) << "the test client did not come up";
    const QString older = QStringLiteral("collé depuis l’historique");
    copy(older.toUtf8(), 1);
    copy(QByteArray("le plus récent"), 2);

    // The program's own windows may have opened since; the client must be
    // the active window when the overlay is called.
    ASSERT_TRUE(activateTarget());

    // Default shortcut: Super+Shift+V. The overlay takes the focus.
    runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("super+shift+v")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow() != m_targetWindow; }, 3000))
        << "the overlay did not take the focus\n" << app.log().toStdString();
    runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Right")});
    runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});

    const bool received = QTest::qWaitFor([&] { return readFile(outFile()) == older; }, 5000);
    app.waitForLog(QStringLiteral("Paste: SEND"), 100); // collects the program's output so far
    ASSERT_TRUE(received)
        << "client received: " << readFile(outFile()).toStdString() << "\n" << app.log().toStdString();
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Paste: SEND ⌘V")));
    EXPECT_EQ(activeWindow(), m_targetWindow);

    // Give the watcher several polls to see our write: it must not come back.
    EXPECT_TRUE(app.waitForLog(QStringLiteral("Store: shouldIgnore = true (one-shot)"), 2000)) << app.log().toStdString();
    QTest::qWait(1000);
    const QJsonArray items = readItems(app.itemsPath());
    EXPECT_EQ(items.size(), 2) << app.log().toStdString();
    // The chosen clip moved to the top: it is now the newest.
    QString newest;
    double newestAt = -1e300;
    for (const QJsonValue &v : items) {
        const QJsonObject o = v.toObject();
        if (o.value(QStringLiteral("createdAt")).toDouble() > newestAt) {
            newestAt = o.value(QStringLiteral("createdAt")).toDouble();
            newest = o.value(QStringLiteral("preview")).toString();
        }
    }
    EXPECT_EQ(newest, older);

    // A real copy afterwards is still captured (the one-shot flag did not linger).
    copy(QByteArray("copie suivante"), 3);
}

} // namespace
