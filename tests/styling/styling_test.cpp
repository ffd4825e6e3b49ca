// The switch and the symbol set.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "styling/symbolicons.h"
#include "styling/toggleswitch.h"

namespace {

TEST(ToggleSwitch, ClickOrSettingTheValueMovesTheSwitchSignallingOnlyChanges)
{
    ToggleSwitch sw;
    sw.resize(sw.sizeHint());
    QSignalSpy changes(&sw, &ToggleSwitch::isOnChanged);
    QTest::mouseClick(&sw, Qt::LeftButton);
    EXPECT_TRUE(sw.isOn());
    ASSERT_EQ(changes.size(), 1);
    EXPECT_TRUE(changes.at(0).at(0).toBool());
    QTest::mouseClick(&sw, Qt::LeftButton);
    EXPECT_FALSE(sw.isOn());

    QSignalSpy clicks(&sw, &QAbstractButton::clicked);
    sw.setOn(true);
    sw.setOn(true); // no change, no signal
    EXPECT_TRUE(sw.isChecked());
    EXPECT_EQ(changes.size(), 3);
    EXPECT_EQ(clicks.size(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sw.knobPosition() == 1.0; }, 2000));
}

class SymbolSet : public ::testing::TestWithParam<const char *> {};

TEST_P(SymbolSet, ShipsAndRenders)
{
    const QString name = QString::fromLatin1(GetParam());
    ASSERT_TRUE(SymbolIcons::has(name)) << GetParam();
    const QImage img = SymbolIcons::pixmap(name, 24, QColor(255, 0, 0)).toImage();
    ASSERT_EQ(img.size(), QSize(24, 24));
    int inked = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.alpha() > 128) {
                ++inked;
                EXPECT_EQ(c.red(), 255);
                EXPECT_EQ(c.green(), 0);
            }
        }
    EXPECT_GT(inked, 10);
}

// Every symbol the program's views name.
INSTANTIATE_TEST_SUITE_P(
    Names, SymbolSet,
    ::testing::Values("link", "doc", "photo", "questionmark.circle", "pin", "pin.fill", "scissors",
                      "paperclip.circle.fill", "checkmark.shield.fill", "exclamationmark.triangle.fill",
                      "rectangle.bottomthird.inset.filled", "trash", "gearshape", "power", "lock.shield", "keyboard",
                      "speaker.wave.2.fill", "tray.fill", "folder.fill", "xmark.circle.fill", "magnifyingglass",
                      "clock.arrow.circlepath", "plus"),
    [](const auto &info) {
        std::string s = info.param;
        for (char &c : s)
            if (c == '.')
                c = '_';
        return s;
    });

TEST(SymbolIcons, WhitePartsAreCutOutAndAnUnknownNameGivesNull)
{
    // The centre of the filled "xmark.circle.fill" is the white cross: a hole.
    const QImage img = SymbolIcons::pixmap(QStringLiteral("xmark.circle.fill"), 48, Qt::black).toImage();
    EXPECT_LT(img.pixelColor(24, 24).alpha(), 60);
    EXPECT_GT(img.pixelColor(24, 8).alpha(), 200);
    EXPECT_TRUE(SymbolIcons::pixmap(QStringLiteral("no.such.symbol"), 16, Qt::black).isNull());
}

} // namespace
