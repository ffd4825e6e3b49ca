#include "watchingapptest.h"

#include <utility>

#include "e2esteps.h"

WatchingAppTest::WatchingAppTest(QStringList programs) : m_programs(std::move(programs)) {}

void WatchingAppTest::SetUp()
{
    QString reason = RunningApp::unavailableReason();
    if (reason.isEmpty())
        reason = missingProgram(m_programs);
    if (!reason.isEmpty())
        GTEST_SKIP() << reason.toStdString();
    ASSERT_TRUE(app.start()) << app.log().toStdString();
    ASSERT_TRUE(app.waitForLog(QStringLiteral("ClipboardWatcher start()")));
}

void WatchingAppTest::TearDown() { app.stop(); }
