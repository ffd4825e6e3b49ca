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

// A frameless window on top: flat red (the backdrop), or filled with the
// overlay's glass (translucent when the display can).
class TestWindow final : public QWidget
{
public:
    TestWindow(const QRect &geometry, bool glass) : m_glass(glass)
    {
        setAttribute(Qt::WA_TranslucentBackground, glass);
        setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setGeometry(geometry);
        show();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(rect(), m_glass ? QColor(Qt::transparent) : QColor(220, 30, 30));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (m_glass)
            GlassPanelBackground::overlayCard().paint(p, QRectF(rect()), GlassMaterial::translucencyAvailable());
    }

private:
    bool m_glass;
};

// The screen's colour at the centre of `window`, away from rim and grain extremes.
QColor centreOf(const QWidget &window)
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().pixelColor(window.geometry().center());
}

TEST(Translucency, OpaqueDarkGlassWithoutCompositorTranslucentWithPicom)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display (run through scripts/run-tests.sh)";
    GlassMaterial::setTranslucencyOverride(-1);
    GlassMaterial::setCompositorProbe(&X11Compositor::isRunning);
    if (GlassMaterial::translucencyAvailable())
        GTEST_SKIP() << "a compositor already runs on this display";
    TestWindow backdrop(QRect(100, 100, 400, 300), false);
    const QRect glassArea(150, 150, 300, 200);
    QColor c;
    {
        TestWindow glass(glassArea, true);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&glass));
        ASSERT_TRUE(QTest::qWaitFor([&] { return (c = centreOf(glass)).red() < 90; }, 3000))
            << "expected the dark opaque glass, got " << c.name().toStdString();
    }

    const QString exe = QStandardPaths::findExecutable(QStringLiteral("picom"));
    if (exe.isEmpty())
        GTEST_SKIP() << "picom is not installed";
    QProcess picom;
    picom.start(exe, {QStringLiteral("--backend"), QStringLiteral("xrender"), QStringLiteral("--no-fading-openclose")});
    ASSERT_TRUE(picom.waitForStarted(3000));
    const bool composited = QTest::qWaitFor([] { return GlassMaterial::translucencyAvailable(); }, 5000);
    bool seeThrough = false;
    if (composited) {
        // Qt picks the window's visual when it is created: a new window now
        // gets an ARGB visual that the compositor blends.
        TestWindow glass(glassArea, true);
        if (QTest::qWaitForWindowExposed(&glass))
            seeThrough = QTest::qWaitFor([&] { return (c = centreOf(glass)).red() > 150; }, 5000);
    }
    picom.terminate();
    picom.waitForFinished(3000);
    ASSERT_TRUE(composited) << "picom did not make the display composited";
    EXPECT_TRUE(seeThrough) << "expected the red backdrop through the glass, got " << c.name().toStdString();
}

} // namespace
