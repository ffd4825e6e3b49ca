#pragma once

#include <gtest/gtest.h>

#include <QStringList>

#include "runningapp.h"

// A fixture with the real program running and its clipboard watcher started
// (so what was on the clipboard before is never captured). Skips when the
// end-to-end tier or one of the helper programs it was built with is missing.
class WatchingAppTest : public ::testing::Test
{
protected:
    // `programs`: helper programs the test drives (xclip, xdotool, ...).
    explicit WatchingAppTest(QStringList programs);

    // Derived fixtures that go on after calling this check IsSkipped() and
    // HasFatalFailure() first.
    void SetUp() override;
    void TearDown() override;

    RunningApp app;

private:
    QStringList m_programs;
};
