#pragma once

#include <optional>

#include <QImage>

#include "cards/srgbcolor.h"
#include "model/clipkind.h"

// The colour rules behind a card's header: the vivid-weighted hue histogram,
// the plain average, the HSB adjustment and the per-kind fallbacks. The
// buffer functions take 8-bit RGBA, alpha last, premultiplied; the QImage
// functions first scale the image (fast filtering) into such a buffer.
// Pure functions; any thread.
namespace ColorSampling {

inline constexpr int kHueBins = 36;
inline constexpr int kHistogramSide = 32;
inline constexpr int kAverageSide = 8;

struct Hsb
{
    double h = 0; // 0...1
    double s = 0;
    double v = 0;
};
Hsb toHsb(double r, double g, double b);
SrgbColor fromHsb(double h, double s, double v, double a = 1);

// Histogram bin of a hue in 0...1: floor(h × 36) clamped to 0...35.
int hueBin(double hue);

// The dominant hue over a w × h buffer (`stride` bytes per row): pixels with
// alpha ≤ 0.05, brightness < 0.15 or > 0.98, or saturation < 0.08 are
// skipped; the rest add v·s² to their hue bin. The heaviest bin (lowest
// index on ties) gives its weighted mean colour; none when nothing passed.
std::optional<SrgbColor> dominantHueColor(const uchar *rgba, int width, int height, int stride);
// Sums of R, G, B over every pixel (alpha ignored) over 255 × pixel count.
std::optional<SrgbColor> averageColor(const uchar *rgba, int width, int height, int stride);

// The image drawn into a side × side premultiplied RGBA8888 buffer; a null
// image for a null input.
QImage sampleBuffer(const QImage &image, int side);
std::optional<SrgbColor> dominantHueColor(const QImage &image);
std::optional<SrgbColor> averageColor(const QImage &image);

// Same hue, saturation × fs and brightness × fb (each clamped to 0...1),
// same alpha.
SrgbColor adjustedColor(const SrgbColor &color, double saturationFactor, double brightnessFactor);

SrgbColor kindFallbackColor(ClipKind kind);

} // namespace ColorSampling
