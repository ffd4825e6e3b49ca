#include "e2etest.h"

#include <utility>

#include <QStandardPaths>

#include "e2esteps.h"
#include "patience.h"

E2ETest::E2ETest(QStringList programs, bool launchInSetUp)
    : m_programs(std::move(programs)), m_launchInSetUp(launchInSetUp)
{
}

void E2ETest::SetUp()
{
    QString reason = RunningApp::unavailableReason();
    for (const QString &program : m_programs) {
        if (reason.isEmpty() && QStandardPaths::findExecutable(program).isEmpty())
            reason = program + QStringLiteral(" is not installed");
    }
    if (!reason.isEmpty())
        GTEST_SKIP() << reason.toStdString();
    if (m_launchInSetUp)
        ASSERT_TRUE(launch(app));
}

void E2ETest::TearDown() { app.stop(); }

::testing::AssertionResult E2ETest::launch(RunningApp &which)
{
    if (!which.start() || !which.waitForLog(QStringLiteral("ClipboardWatcher start()")))
        return ::testing::AssertionFailure() << "the program did not come up\n" << which.log().toStdString();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult E2ETest::copy(const QByteArray &bytes, const QString &type)
{
    const QString inserted = QStringLiteral("Store: insert item");
    const qsizetype before = app.log().count(inserted);
    if (copyWithXclip(bytes, type) != 0)
        return ::testing::AssertionFailure() << "xclip failed";
    if (!waitUntil([&] {
            app.waitForLog(QString(), 0); // reads what the program wrote since
            return app.log().count(inserted) > before;
        }, 5000))
        return ::testing::AssertionFailure() << "not stored: " << bytes.left(80).toStdString() << "\n"
                                             << app.log().toStdString();
    return ::testing::AssertionSuccess();
}

QJsonObject E2ETest::newestClip(int count, int timeoutMs)
{
    const bool arrived = waitUntil([&] { return readItems(app.itemsPath()).size() >= count; }, timeoutMs);
    EXPECT_TRUE(arrived) << "no clip " << count << " after " << timeoutMs << " ms\n" << app.log().toStdString();
    return readItems(app.itemsPath()).first().toObject();
}
