// Grain, glass, materials, blur, continuous corners, the switch and the symbol set.
#include <gtest/gtest.h>

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "styling/continuousroundedrect.h"
#include "styling/glassmaterial.h"
#include "styling/glasspanelbackground.h"
#include "styling/imageblur.h"
#include "styling/noiseveil.h"
#include "styling/symbolicons.h"
#include "styling/toggleswitch.h"

namespace {

TEST(NoiseVeil, NewPatternEveryPaintWithinTheOpacityRange)
{
    auto render = [] {
        QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        NoiseVeil{1.0}.paint(p, QRectF(0, 0, 32, 32));
        return img;
    };
    const QImage a = render(), b = render();
    EXPECT_NE(a, b);
    // On a transparent target, overlay leaves the source: alpha 0.35–0.65.
    for (int y = 0; y < 32; y += 2)
        for (int x = 0; x < 32; x += 2) {
            const int alpha = qAlpha(a.pixel(x, y));
            EXPECT_GE(alpha, 88);
            EXPECT_LE(alpha, 167);
            EXPECT_EQ(a.pixel(x, y), a.pixel(x + 1, y + 1)); // 2 × 2 squares
        }
}

TEST(GlassMaterial, OverrideDecidesTranslucency)
{
    GlassMaterial::setTranslucencyOverride(1);
    EXPECT_TRUE(GlassMaterial::translucencyAvailable());
    GlassMaterial::setTranslucencyOverride(0);
    EXPECT_FALSE(GlassMaterial::translucencyAvailable());
    GlassMaterial::setTranslucencyOverride(-1);
    // Offscreen there is no X display, hence no compositor.
    EXPECT_FALSE(GlassMaterial::translucencyAvailable());
    EXPECT_EQ(GlassMaterial::fill(GlassMaterial::Material::Thin, false).alpha(), 255);
    EXPECT_LT(GlassMaterial::fill(GlassMaterial::Material::Thin, true).alpha(), 255);
}

TEST(GlassPanelBackground, OpaqueWithoutCompositorTranslucentWithOne)
{
    auto render = [](bool translucent) {
        QImage img(200, 120, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        GlassPanelBackground::overlayCard().paint(p, QRectF(0, 0, 200, 120), translucent);
        return img;
    };
    const QImage opaque = render(false), clear = render(true);
    EXPECT_EQ(qAlpha(opaque.pixel(100, 60)), 255);
    EXPECT_LT(qAlpha(clear.pixel(100, 60)), 60);
    // Outside the rounded corner nothing is drawn.
    EXPECT_EQ(qAlpha(opaque.pixel(0, 0)), 0);
    // The rim is lit at the top-left more than in the middle of the top edge.
    EXPECT_GT(qAlpha(clear.pixel(30, 1)), qAlpha(clear.pixel(100, 60)));
}

TEST(ContinuousRoundedRect, CornersCutSidesKept)
{
    const QPainterPath p = ContinuousRoundedRect::path(QRectF(0, 0, 100, 60), 14);
    EXPECT_TRUE(p.contains(QPointF(50, 30)));
    EXPECT_TRUE(p.contains(QPointF(50, 0.5)));
    EXPECT_TRUE(p.contains(QPointF(0.5, 30)));
    EXPECT_FALSE(p.contains(QPointF(1, 1)));
    EXPECT_FALSE(p.contains(QPointF(99, 59)));
    EXPECT_TRUE(ContinuousRoundedRect::path(QRectF(), 5).isEmpty());
}

TEST(ImageBlur, SpreadsAPointAndKeepsRadiusZeroUnchanged)
{
    QImage img(21, 21, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    img.setPixel(10, 10, qRgba(255, 255, 255, 255));
    QImage same = img;
    ImageBlur::blur(same, 0);
    EXPECT_EQ(same, img);
    ImageBlur::blur(img, 4);
    EXPECT_LT(qAlpha(img.pixel(10, 10)), 255);
    EXPECT_GT(qAlpha(img.pixel(10, 10)), qAlpha(img.pixel(13, 10)));
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
}

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
