#include "colorsampling.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QPainter>

namespace ColorSampling {

Hsb toHsb(double r, double g, double b)
{
    const double maxc = std::max({r, g, b});
    const double minc = std::min({r, g, b});
    const double delta = maxc - minc;
    Hsb out;
    out.v = maxc;
    out.s = maxc > 0 ? delta / maxc : 0;
    if (delta <= 0)
        return out;
    double h;
    if (maxc == r)
        h = (g - b) / delta;
    else if (maxc == g)
        h = 2 + (b - r) / delta;
    else
        h = 4 + (r - g) / delta;
    h /= 6;
    if (h < 0)
        h += 1;
    out.h = h;
    return out;
}

SrgbColor fromHsb(double h, double s, double v, double a)
{
    if (s <= 0)
        return {v, v, v, a};
    double hh = (h - std::floor(h)) * 6;
    const int sector = int(hh) % 6;
    const double f = hh - std::floor(hh);
    const double p = v * (1 - s);
    const double q = v * (1 - s * f);
    const double t = v * (1 - s * (1 - f));
    switch (sector) {
    case 0: return {v, t, p, a};
    case 1: return {q, v, p, a};
    case 2: return {p, v, t, a};
    case 3: return {p, q, v, a};
    case 4: return {t, p, v, a};
    default: return {v, p, q, a};
    }
}

int hueBin(double hue)
{
    return std::clamp(int(hue * kHueBins), 0, kHueBins - 1);
}

std::optional<SrgbColor> dominantHueColor(const uchar *rgba, int width, int height, int stride)
{
    if (!rgba || width <= 0 || height <= 0)
        return std::nullopt;
    std::array<double, kHueBins> W{}, R{}, G{}, B{};
    for (int y = 0; y < height; ++y) {
        const uchar *row = rgba + qsizetype(y) * stride;
        for (int x = 0; x < width; ++x) {
            const uchar *px = row + x * 4;
            const double r = px[0] / 255.0, g = px[1] / 255.0, b = px[2] / 255.0, a = px[3] / 255.0;
            if (!(a > 0.05))
                continue;
            const Hsb hsb = toHsb(r, g, b);
            if (hsb.v < 0.15 || hsb.v > 0.98 || hsb.s < 0.08)
                continue;
            const int bin = hueBin(hsb.h);
            const double w = hsb.v * hsb.s * hsb.s;
            W[bin] += w;
            R[bin] += r * w;
            G[bin] += g * w;
            B[bin] += b * w;
        }
    }
    int best = 0;
    for (int i = 1; i < kHueBins; ++i) {
        if (W[i] > W[best])
            best = i; // strictly greater: ties keep the lower bin
    }
    if (W[best] <= 0)
        return std::nullopt;
    return SrgbColor{R[best] / W[best], G[best] / W[best], B[best] / W[best], 1};
}

std::optional<SrgbColor> averageColor(const uchar *rgba, int width, int height, int stride)
{
    if (!rgba || width <= 0 || height <= 0)
        return std::nullopt;
    quint64 r = 0, g = 0, b = 0;
    for (int y = 0; y < height; ++y) {
        const uchar *row = rgba + qsizetype(y) * stride;
        for (int x = 0; x < width; ++x) {
            r += row[x * 4];
            g += row[x * 4 + 1];
            b += row[x * 4 + 2];
        }
    }
    const double n = 255.0 * width * height;
    return SrgbColor{r / n, g / n, b / n, 1};
}

QImage sampleBuffer(const QImage &image, int side)
{
    if (image.isNull() || side <= 0)
        return {};
    QImage buffer(side, side, QImage::Format_RGBA8888_Premultiplied);
    if (buffer.isNull())
        return {};
    buffer.fill(Qt::transparent);
    QPainter p(&buffer);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false); // low interpolation quality
    p.drawImage(QRect(0, 0, side, side), image);
    p.end();
    return buffer;
}

std::optional<SrgbColor> dominantHueColor(const QImage &image)
{
    const QImage buffer = sampleBuffer(image, kHistogramSide);
    if (buffer.isNull())
        return std::nullopt;
    return dominantHueColor(buffer.constBits(), buffer.width(), buffer.height(), int(buffer.bytesPerLine()));
}

std::optional<SrgbColor> averageColor(const QImage &image)
{
    const QImage buffer = sampleBuffer(image, kAverageSide);
    if (buffer.isNull())
        return std::nullopt;
    return averageColor(buffer.constBits(), buffer.width(), buffer.height(), int(buffer.bytesPerLine()));
}

SrgbColor adjustedColor(const SrgbColor &color, double saturationFactor, double brightnessFactor)
{
    const Hsb hsb = toHsb(std::clamp(color.r, 0.0, 1.0), std::clamp(color.g, 0.0, 1.0),
                          std::clamp(color.b, 0.0, 1.0));
    return fromHsb(hsb.h, std::clamp(hsb.s * saturationFactor, 0.0, 1.0),
                   std::clamp(hsb.v * brightnessFactor, 0.0, 1.0), color.a);
}

SrgbColor kindFallbackColor(ClipKind kind)
{
    switch (kind) {
    case ClipKind::Text: return {0.24, 0.45, 0.98, 1};
    case ClipKind::Rtf: return {0.74, 0.45, 0.98, 1};
    case ClipKind::Url: return {0.17, 0.79, 0.89, 1};
    case ClipKind::Image: return {0.30, 0.80, 0.50, 1};
    case ClipKind::FileURL: return {0.98, 0.64, 0.15, 1};
    case ClipKind::Unknown: return {0.45, 0.45, 0.45, 1};
    }
    return {0.45, 0.45, 0.45, 1};
}

} // namespace ColorSampling
