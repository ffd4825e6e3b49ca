// The preview of an image in the real program under a window manager: an
// 800×500 picture copied with xclip, the strip opened with `bramblet toggle`,
// Space pressed on the selected card; a screenshot of the preview window
// must show the picture at (nearly) its size. With BRAMBLET_SCREENSHOT_DIR
// set, the screenshots are saved there: preview-image-live.png (the window)
// and preview-image-live-screen.png (the whole screen).
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include "support/e2esteps.h"
#include "support/patience.h"
#include "support/e2etest.h"

namespace {

// The picture's flat colours: title bar, page, side panel and the accent
// block. Every pixel of the picture is one of them.
const QColor kBar(38, 41, 48);
const QColor kPage(236, 238, 242);
const QColor kPanel(64, 132, 214);
const QColor kAccent(242, 152, 56);

QImage picture()
{
    QImage img(800, 500, QImage::Format_RGB32);
    img.fill(kPage);
    QPainter p(&img);
    p.fillRect(QRect(0, 0, 800, 56), kBar);
    p.fillRect(QRect(0, 56, 220, 444), kPanel);
    p.fillRect(QRect(260, 96, 500, 220), kAccent);
    for (int i = 0; i < 6; ++i) // lines of "text" on the page
        p.fillRect(QRect(260, 346 + i * 22, 420 - (i % 3) * 90, 10), kBar);
    for (int i = 0; i < 8; ++i)
        p.fillRect(QRect(24, 88 + i * 40, 150, 14), kPage);
    return img;
}

int pictureLikePixels(const QImage &shot)
{
    auto near = [](QRgb c, const QColor &k) {
        return std::abs(qRed(c) - k.red()) <= 4 && std::abs(qGreen(c) - k.green()) <= 4
            && std::abs(qBlue(c) - k.blue()) <= 4;
    };
    int n = 0;
    const QImage rgb = shot.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            n += near(line[x], kBar) || near(line[x], kPage) || near(line[x], kPanel) || near(line[x], kAccent);
    }
    return n;
}

class PreviewE2E : public E2ETest
{
protected:
    PreviewE2E() : E2ETest({QStringLiteral("xdotool"), QStringLiteral("xclip"), QStringLiteral("import")}, true) {}

    // The visible window of the program titled `title`; empty if none.
    QString windowNamed(const QString &title)
    {
        return visibleWindows(app.pid(), QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$')).value(0);
    }
};

TEST_F(PreviewE2E, space_previews_an_800_by_500_image_at_its_size)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture().save(&buffer, "PNG"));
    ASSERT_TRUE(copy(png, QStringLiteral("image/png")));

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
    ASSERT_TRUE(waitUntil([&] { return !(preview = windowNamed(QStringLiteral("Bramblet_Image.png"))).isEmpty(); }, 5000))
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
    EXPECT_TRUE(waitUntil([&] { return windowNamed(QStringLiteral("Bramblet_Image.png")).isEmpty(); }, 3000));
}

} // namespace
