// Shared main for every test executable: a QApplication (offscreen unless the
// caller chose a platform) so widget, clipboard and timer code can run.
#include <gtest/gtest.h>

#include <QApplication>

#include "capture/imagelimits.h"

namespace {

void setDefault(const char *name, const char *value)
{
    if (qEnvironmentVariableIsEmpty(name))
        qputenv(name, value);
}

} // namespace

int main(int argc, char **argv)
{
    setDefault("BRAMBLET_SOURCE_DIR", BRAMBLET_SOURCE_DIR_DEFAULT);
    setDefault("BRAMBLET_BUILD_DIR", BRAMBLET_BUILD_DIR_DEFAULT);
    setDefault("BRAMBLET_BINARY", BRAMBLET_BINARY_DEFAULT);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ImageLimits::allowLargeImages(); // as the program does at start
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
