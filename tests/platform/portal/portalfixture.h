#pragma once

// A private session bus with our fake portal on it; tests skip (with the
// reason) only when dbus-daemon cannot start.
#include <memory>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/portal/fakeportal.h"
#include "platform/portal/privatebus.h"
#include "platform/userdefaults.h"
#include "support/logcapture.h"

class PortalFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (bus.address().isEmpty())
            GTEST_SKIP() << "no private D-Bus session bus: " << bus.error().toStdString();
        portal = std::make_unique<FakePortal>(bus.address());
        ASSERT_TRUE(portal->isServing());
    }

    PrivateBus bus;
    QTemporaryDir tmp;
    UserDefaults defaults{tmp.filePath(QStringLiteral("defaults.conf"))};
    LogCapture log;
    std::unique_ptr<FakePortal> portal;
};
