// The preview of an image in the real program under a window manager: an
// 800×500 picture copied with xclip, the strip opened with `bramblet toggle`,
// Space pressed on the selected card; a screenshot of the preview window
// must show the picture at (nearly) its size. With BRAMBLET_SCREENSHOT_DIR
// set, the screenshots are saved there: preview-image-live.png (the window)
// and preview-image-live-screen.png (the whole screen).
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>

#include "support/clipsamples.h"
#include "support/e2esteps.h"
#include "support/e2etest.h"
#include "support/patience.h"

namespace {

// The picture's two flat colours: a page with an accent block on it.
const QColor kPage(236, 238, 242);
const QColor kAccent(242, 152, 56);

int pictureLikePixels(const QImage &shot)
{
    auto near = [](const QColor &c, const QColor &k) {
        return std::abs(c.red() - k.red()) <= 4 && std::abs(c.green() - k.green()) <= 4
            && std::abs(c.blue() - k.blue()) <= 4;
    };
    int n = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            n += near(shot.pixelColor(x, y), kPage) || near(shot.pixelColor(x, y), kAccent);
    }
    return n;
}

class PreviewE2E : public E2ETest
{
protected:
    PreviewE2E() : E2ETest({QStringLiteral("xdotool"), QStringLiteral("xclip"), QStringLiteral("import")}, true) {}

    // The visible window of the program titled `title` exactly; empty if none.
    QString windowNamed(const QString &title)
    {
        return visibleWindows(app.pid(), QLatin1Char('^') + title + QLatin1Char('$')).value(0);
    }
};

TEST_F(PreviewE2E, space_previews_an_800_by_500_image_at_its_size)
{
    QImage picture(800, 500, QImage::Format_RGB32);
    picture.fill(kPage);
    QPainter(&picture).fillRect(QRect(260, 96, 500, 220), kAccent);
    ASSERT_TRUE(copy(ClipSamples::encoded(picture), QStringLiteral("image/png")));

    ASSERT_EQ(app.runCommand({QStringLiteral("toggle")}), 0);
    // The strip takes the keyboard a moment after it shows: keys go to it
    // once it is the active window.
    ASSERT_TRUE(waitUntil([&] {
        const QString strip = windowNamed(QStringLiteral("Bramblet"));
        return !strip.isEmpty() && activeWindow() == strip;
    }, 5000)) << "the strip did not show and take the keyboard\n" << app.log().toStdString();
    // The newest clip is selected when the strip opens; Space previews it.
    pressKeys(QStringLiteral("space"));
    QString preview;
    ASSERT_TRUE(waitUntil([&] { return !(preview = windowNamed(QStringLiteral("Bramblet_Image\\.png"))).isEmpty(); }, 5000))
        << "no preview window\n" << app.log().toStdString();

    // Screenshots until the window has been drawn with the picture in it.
    QImage shot;
    const bool drawn = waitUntil([&] {
        shot = screenshot(preview);
        return !shot.isNull() && pictureLikePixels(shot) >= 700 * 430;
    }, 8000);
    const QString dir = qEnvironmentVariable("BRAMBLET_SCREENSHOT_DIR");
    if (!dir.isEmpty() && !shot.isNull()) {
        shot.save(QDir(dir).filePath(QStringLiteral("preview-image-live.png")));
        // The whole screen too: the preview above the strip it was opened from.
        screenshot(QStringLiteral("root")).save(QDir(dir).filePath(QStringLiteral("preview-image-live-screen.png")));
    }
    ASSERT_FALSE(shot.isNull()) << "import could not capture the preview window";
    EXPECT_TRUE(drawn) << "picture pixels: " << pictureLikePixels(shot) << " of a " << shot.width() << "×"
                       << shot.height() << " window (at least 700×430 expected)";
    pressKeys(QStringLiteral("space"));
    EXPECT_TRUE(waitUntil([&] { return windowNamed(QStringLiteral("Bramblet_Image\\.png")).isEmpty(); }, 3000));
}

} // namespace
