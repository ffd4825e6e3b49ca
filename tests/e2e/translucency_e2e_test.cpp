// Under a real X server: the glass is opaque without a compositor and lets
// the window behind show through once picom composites the display.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

#include "platform/x11/x11compositor.h"
#include "styling/glassmaterial.h"
#include "styling/glasspanelbackground.h"

namespace {

// A window filled with the overlay's glass, translucent when the display can.
class GlassWindow final : public QWidget
{
public:
    GlassWindow()
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(rect(), Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        GlassPanelBackground::overlayCard().paint(p, QRectF(rect()), GlassMaterial::translucencyAvailable());
    }
};

class Backdrop final : public QWidget
{
public:
    Backdrop() { setWindowFlags(Qt::FramelessWindowHint); }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor(220, 30, 30)); }
};

QColor screenPixel(const QPoint &global)
{
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    return shot.pixelColor(global);
}

class Translucency : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display (run through scripts/run-tests.sh)";
        GlassMaterial::setTranslucencyOverride(-1);
        GlassMaterial::setCompositorProbe(&X11Compositor::isRunning);
        backdrop.setGeometry(100, 100, 400, 300);
        backdrop.show();
        glass.setGeometry(150, 150, 300, 200);
        glass.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&glass));
    }
    void TearDown() override
    {
        if (picom.state() != QProcess::NotRunning) {
            picom.terminate();
            picom.waitForFinished(3000);
        }
    }

    // The glass's centre, away from rim and grain extremes.
    QColor glassCentre() { return screenPixel(glass.geometry().center()); }

    Backdrop backdrop;
    GlassWindow glass;
    QProcess picom;
};

TEST_F(Translucency, OpaqueDarkGlassWithoutCompositorTranslucentWithPicom)
{
    if (GlassMaterial::translucencyAvailable())
        GTEST_SKIP() << "a compositor already runs on this display";
    glass.update();
    QColor c;
    ASSERT_TRUE(QTest::qWaitFor([&] { c = glassCentre(); return c.red() < 90; }, 3000))
        << "expected the dark opaque glass, got " << c.name().toStdString();

    const QString exe = QStandardPaths::findExecutable(QStringLiteral("picom"));
    if (exe.isEmpty())
        GTEST_SKIP() << "picom is not installed";
    picom.start(exe, {QStringLiteral("--backend"), QStringLiteral("xrender"), QStringLiteral("--no-fading-openclose")});
    ASSERT_TRUE(picom.waitForStarted(3000));
    ASSERT_TRUE(QTest::qWaitFor([] { return GlassMaterial::translucencyAvailable(); }, 5000));

    // Qt picks the window's visual when it is created: a new window now gets
    // an ARGB visual that the compositor blends.
    GlassWindow translucent;
    translucent.setGeometry(150, 150, 300, 200);
    translucent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&translucent));
    glass.hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { c = screenPixel(translucent.geometry().center()); return c.red() > 150; }, 5000))
        << "expected the red backdrop through the glass, got " << c.name().toStdString();
    if (const QString dir = qEnvironmentVariable("BRAMBLET_SCREENSHOT_DIR"); !dir.isEmpty())
        QGuiApplication::primaryScreen()->grabWindow(0, 80, 80, 440, 340).save(dir + QStringLiteral("/styling-glass-picom.png"));
}

} // namespace
