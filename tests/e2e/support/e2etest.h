#pragma once

#include <gtest/gtest.h>

#include <QJsonObject>
#include <QStringList>

#include "runningapp.h"

// The base of the end-to-end tests: skips, saying why, when there is no X
// display, no built program or no helper program the test drives; stops the
// program at the end.
class E2ETest : public ::testing::Test
{
protected:
    // `programs`: helper programs the test drives (xclip, xdotool, ...).
    // `launchInSetUp`: SetUp launches `app` too (derived fixtures that go on
    // after E2ETest::SetUp() check IsSkipped() and HasFatalFailure() first).
    explicit E2ETest(QStringList programs = {}, bool launchInSetUp = false);

    void SetUp() override;
    void TearDown() override;

    // Starts `which` and waits until its clipboard watcher runs, so nothing
    // on the clipboard before is captured.
    static ::testing::AssertionResult launch(RunningApp &which);
    // Copies `bytes` as `type` with xclip and waits until `app` has stored
    // one more clip.
    ::testing::AssertionResult copy(const QByteArray &bytes, const QString &type = QStringLiteral("UTF8_STRING"));
    // Waits for items.json to hold `count` clips (a failure when it does not
    // in time); the newest clip.
    QJsonObject newestClip(int count, int timeoutMs = 1000);

    RunningApp app;

private:
    QStringList m_programs;
    bool m_launchInSetUp;
};
