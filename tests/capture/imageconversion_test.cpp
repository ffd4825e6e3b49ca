// Clipboard image bytes to stored TIFF: lossless for every pixel format Qt
// decodes to, compact, large pictures accepted up to the stated side and
// refused beyond it.
#include <gtest/gtest.h>

#include <algorithm>

#include <QColorSpace>
#include <QImage>
#include <QPainter>

#include "capture/imageconversion.h"
#include "capture/imagelimits.h"
#include "support/clipsamples.h"

namespace {

// A picture with a gradient, flat areas and, for formats with alpha, a
// translucent band, so every channel carries information.
QImage sample(QImage::Format format)
{
    QImage argb(97, 61, QImage::Format_RGBA64);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const quint16 alpha = y < 20 ? quint16(65535 - x * 300) : 65535;
            argb.setPixelColor(x, y, QColor::fromRgba64(quint16(x * 673), quint16(y * 1021), quint16((x * y) % 65535), alpha));
        }
    }
    return argb.convertToFormat(format);
}

struct FormatCase
{
    const char *name;
    QImage::Format format;
    QImage::Format compareAs; // both images are compared in this format
    int tolerance;            // largest difference allowed on a channel
};

// The largest difference between two same-sized images on any channel.
int maxChannelDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 65536;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgba64 p = a.pixelColor(x, y).rgba64(), q = b.pixelColor(x, y).rgba64();
            worst = std::max({worst, std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                              std::abs(p.blue() - q.blue()), std::abs(p.alpha() - q.alpha())});
        }
    }
    return worst;
}

class StoredTiffFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(StoredTiffFormat, keeps_every_pixel)
{
    const QImage original = sample(GetParam().format);
    ASSERT_FALSE(original.isNull());
    // PNG keeps 8- and 16-bit grey, colour and alpha exactly.
    const ImageConversion::Result result = ImageConversion::toStoredTiff(ClipSamples::encoded(original, "PNG", 80), QStringLiteral("image/png"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.size, original.size());
    const QImage stored = QImage::fromData(result.tiff, "TIFF");
    ASSERT_FALSE(stored.isNull());
    const QImage decodedPng = QImage::fromData(ClipSamples::encoded(original, "PNG", 80), "PNG");
    EXPECT_LE(maxChannelDifference(stored.convertToFormat(GetParam().compareAs),
                                   decodedPng.convertToFormat(GetParam().compareAs)),
              GetParam().tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, StoredTiffFormat,
    // The file keeps straight alpha exactly; Qt's TIFF reader hands 8-bit
    // alpha back premultiplied (libtiff's RGBA path), so translucent 8-bit
    // pixels are compared premultiplied, within one step of rounding (257 in
    // 16-bit units).
    ::testing::Values(FormatCase{"rgb8", QImage::Format_RGB32, QImage::Format_RGB32, 0},
                      FormatCase{"argb8", QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied, 257},
                      FormatCase{"grey8", QImage::Format_Grayscale8, QImage::Format_RGB32, 0},
                      FormatCase{"grey16", QImage::Format_Grayscale16, QImage::Format_RGBX64, 0},
                      FormatCase{"rgb16", QImage::Format_RGBX64, QImage::Format_RGBX64, 0},
                      FormatCase{"rgba16", QImage::Format_RGBA64, QImage::Format_RGBA64, 0}),
    [](const auto &info) { return std::string(info.param.name); });

// Resolution and colour profile are kept. Defect: Qt's default decoder
// limit (128 MiB) refused an 8K screenshot.
TEST(StoredTiff, an_8k_screenshot_is_kept_with_its_resolution_and_colour_profile)
{
    QImage shot(7680, 4320, QImage::Format_ARGB32);
    shot.fill(QColor(32, 33, 36));
    shot.setDotsPerMeterX(11811); // 300 dpi
    shot.setDotsPerMeterY(11811);
    shot.setColorSpace(QColorSpace::DisplayP3);
    {
        QPainter p(&shot);
        p.fillRect(QRect(100, 100, 7000, 300), QColor(10, 132, 255));
    }
    const QByteArray png = ClipSamples::encoded(shot, "PNG", 80);
    const auto result = ImageConversion::toStoredTiff(png, QStringLiteral("image/png"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.size, QSize(7680, 4320));
    const QImage stored = QImage::fromData(result.tiff, "TIFF");
    ASSERT_EQ(stored.size(), QSize(7680, 4320));
    EXPECT_EQ(stored.pixelColor(5000, 200), QColor(10, 132, 255));
    EXPECT_EQ(stored.pixelColor(5000, 2000), QColor(32, 33, 36));
    EXPECT_NEAR(stored.dotsPerMeterX(), 11811, 1);
    EXPECT_NEAR(stored.dotsPerMeterY(), 11811, 1);
    EXPECT_EQ(stored.colorSpace(), QColorSpace(QColorSpace::DisplayP3));
}

// Up to the limit in each dimension; beyond it refused with the line the
// watcher logs (an undecodable one is the capture tests').
TEST(StoredTiff, accepts_up_to_the_side_limit_and_refuses_larger_pictures)
{
    for (const QSize size : {QSize(ImageLimits::kMaxSide, 2), QSize(2, ImageLimits::kMaxSide),
                             QSize(ImageLimits::kMaxSide + 1, 2), QSize(2, ImageLimits::kMaxSide + 1)}) {
        QImage image(size, QImage::Format_Grayscale8);
        image.fill(200);
        const auto result = ImageConversion::toStoredTiff(ClipSamples::encoded(image, "PNG", 80), QStringLiteral("image/png"));
        if (size.width() <= ImageLimits::kMaxSide && size.height() <= ImageLimits::kMaxSide) {
            EXPECT_EQ(QImage::fromData(result.tiff, "TIFF").size(), size);
            continue;
        }
        EXPECT_TRUE(result.tiff.isEmpty());
        EXPECT_EQ(result.error, QStringLiteral("Watcher: clipboard image of %1×%2 px is larger than 16384×16384 px, skipped")
                                    .arg(size.width())
                                    .arg(size.height()));
    }
}

} // namespace
