#include "imageblur.h"

#include <vector>

#include <QImage>

namespace ImageBlur {

namespace {

// One horizontal box pass over every row of `src` into `dst`, with a
// running sum so the cost does not depend on the radius.
void boxPass(const QImage &src, QImage &dst, int r, bool horizontal)
{
    const int w = src.width(), h = src.height();
    const int lines = horizontal ? h : w;
    const int len = horizontal ? w : h;
    const int window = 2 * r + 1;
    std::vector<int> sum(4);
    for (int line = 0; line < lines; ++line) {
        auto at = [&](const QImage &img, int i) -> const uchar * {
            i = qBound(0, i, len - 1);
            return horizontal ? img.constScanLine(line) + i * 4 : img.constScanLine(i) + line * 4;
        };
        std::fill(sum.begin(), sum.end(), 0);
        for (int i = -r; i <= r; ++i) {
            const uchar *p = at(src, i);
            for (int c = 0; c < 4; ++c)
                sum[c] += p[c];
        }
        for (int i = 0; i < len; ++i) {
            uchar *out = horizontal ? dst.scanLine(line) + i * 4 : dst.scanLine(i) + line * 4;
            for (int c = 0; c < 4; ++c)
                out[c] = uchar(sum[c] / window);
            const uchar *add = at(src, i + r + 1);
            const uchar *sub = at(src, i - r);
            for (int c = 0; c < 4; ++c)
                sum[c] += add[c] - sub[c];
        }
    }
}

} // namespace

void blur(QImage &image, int radius)
{
    if (radius <= 0 || image.isNull())
        return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Three box passes of radius r/√3 approximate a Gaussian of sigma ≈ r/2.
    const int r = qMax(1, int(radius / 1.73 + 0.5));
    QImage tmp(image.size(), image.format());
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(image, tmp, r, true);
        boxPass(tmp, image, r, false);
    }
}

} // namespace ImageBlur
