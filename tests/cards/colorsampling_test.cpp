// The hue histogram, the average, the adjustment and the fallback colours,
// on hand-made RGBA buffers and small images.
#include <gtest/gtest.h>

#include <vector>

#include <QImage>

#include "cards/colorsampling.h"

using namespace ColorSampling;

namespace {

constexpr double kTol = 1e-9;

// A w × h premultiplied RGBA buffer filled with one pixel value.
struct Buffer
{
    int w, h;
    std::vector<uchar> bytes;
    Buffer(int w_, int h_, uchar r = 0, uchar g = 0, uchar b = 0, uchar a = 0)
        : w(w_), h(h_), bytes(size_t(w_ * h_ * 4))
    {
        for (int i = 0; i < w * h; ++i)
            set(i, r, g, b, a);
    }
    void set(int i, uchar r, uchar g, uchar b, uchar a)
    {
        bytes[size_t(i * 4)] = r;
        bytes[size_t(i * 4 + 1)] = g;
        bytes[size_t(i * 4 + 2)] = b;
        bytes[size_t(i * 4 + 3)] = a;
    }
    std::optional<SrgbColor> dominant() const { return dominantHueColor(bytes.data(), w, h, w * 4); }
    std::optional<SrgbColor> average() const { return averageColor(bytes.data(), w, h, w * 4); }
};

struct BinCase
{
    const char *name;
    double hue;
    int bin;
};

class HueBin : public ::testing::TestWithParam<BinCase> {};

TEST_P(HueBin, FloorsAndClamps) { EXPECT_EQ(hueBin(GetParam().hue), GetParam().bin); }

INSTANTIATE_TEST_SUITE_P(Rules, HueBin,
                         ::testing::Values(BinCase{"zero", 0.0, 0}, BinCase{"half", 0.5, 18},
                                           BinCase{"hue_one_is_bin_35_not_36", 1.0, 35},
                                           BinCase{"negative_clamped", -0.2, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(DominantHue, SingleVividColourIsReturnedExactly)
{
    const Buffer b(32, 32, 200, 40, 40, 255);
    const auto c = b.dominant();
    ASSERT_TRUE(c);
    EXPECT_NEAR(c->r, 200 / 255.0, kTol);
    EXPECT_NEAR(c->g, 40 / 255.0, kTol);
    EXPECT_NEAR(c->b, 40 / 255.0, kTol);
    EXPECT_EQ(c->a, 1);
}

TEST(DominantHue, HeavierBinWinsOverMorePixels)
{
    // 600 dull blue pixels against 300 vivid red ones: weight is v × s², so
    // vividness beats count.
    Buffer b(30, 30);
    for (int i = 0; i < 600; ++i)
        b.set(i, 90, 90, 110, 255); // s ≈ 0.18, v ≈ 0.43 → w ≈ 0.014
    for (int i = 600; i < 900; ++i)
        b.set(i, 240, 10, 10, 255); // s ≈ 0.96, v ≈ 0.94 → w ≈ 0.87
    const auto c = b.dominant();
    ASSERT_TRUE(c);
    EXPECT_NEAR(c->r, 240 / 255.0, kTol);
}

TEST(DominantHue, EqualWeightsPickTheLowerHueBin)
{
    // Same saturation and brightness, hues in bins 0 (red) and 12 (green):
    // equal weights, so the lower index (red) wins — whichever comes first.
    for (bool greenFirst : {false, true}) {
        Buffer b(2, 1);
        b.set(greenFirst ? 1 : 0, 200, 0, 0, 255);
        b.set(greenFirst ? 0 : 1, 0, 200, 0, 255);
        const auto c = b.dominant();
        ASSERT_TRUE(c);
        EXPECT_NEAR(c->r, 200 / 255.0, kTol) << "greenFirst=" << greenFirst;
        EXPECT_NEAR(c->g, 0, kTol);
    }
}

struct SkipCase
{
    const char *name;
    uchar r, g, b, a;
};

class DominantHueSkips : public ::testing::TestWithParam<SkipCase> {};

TEST_P(DominantHueSkips, GivesNone)
{
    const auto &p = GetParam();
    EXPECT_FALSE(Buffer(32, 32, p.r, p.g, p.b, p.a).dominant().has_value());
}

INSTANTIATE_TEST_SUITE_P(Filters, DominantHueSkips,
                         ::testing::Values(SkipCase{"fully_transparent", 0, 0, 0, 0},
                                           SkipCase{"alpha_at_five_percent", 12, 0, 0, 12},
                                           SkipCase{"black", 0, 0, 0, 255},
                                           SkipCase{"white", 255, 255, 255, 255},
                                           SkipCase{"too_dark", 30, 5, 5, 255},
                                           SkipCase{"too_bright", 252, 120, 120, 255},
                                           SkipCase{"grey_unsaturated", 128, 125, 122, 255}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(AverageColor, BlackAndWhiteAveragesToGreyWithTransparentCountingAsBlack)
{
    Buffer b(8, 8);
    for (int i = 0; i < 64; ++i)
        b.set(i, i % 2 ? 255 : 0, i % 2 ? 255 : 0, i % 2 ? 255 : 0, 255);
    EXPECT_FALSE(b.dominant().has_value());
    const auto grey = b.average();
    ASSERT_TRUE(grey);
    EXPECT_NEAR(grey->r, 0.5, kTol);
    EXPECT_NEAR(grey->b, 0.5, kTol);

    Buffer half(8, 8, 0, 0, 0, 0);
    for (int i = 0; i < 32; ++i)
        half.set(i, 255, 0, 0, 255);
    const auto c = half.average();
    ASSERT_TRUE(c);
    EXPECT_NEAR(c->r, 32 * 255 / 16320.0, kTol);
    EXPECT_NEAR(c->g, 0, kTol);
    EXPECT_EQ(c->a, 1);
}

TEST(ImageSampling, LargeImageIsScaledIntoTheBuffers)
{
    QImage img(400, 300, QImage::Format_RGB32);
    img.fill(QColor(20, 160, 60));
    const QImage buffer = sampleBuffer(img, 32);
    EXPECT_EQ(buffer.size(), QSize(32, 32));
    EXPECT_EQ(buffer.format(), QImage::Format_RGBA8888_Premultiplied);
    const auto c = dominantHueColor(img);
    ASSERT_TRUE(c);
    EXPECT_NEAR(c->g, 160 / 255.0, 1e-6);
    EXPECT_FALSE(dominantHueColor(QImage()).has_value());
    EXPECT_FALSE(averageColor(QImage()).has_value());
}

TEST(Adjusted, SaturationAndBrightnessScaleAndClamp)
{
    const SrgbColor base = fromHsb(0.6, 0.5, 0.5, 0.7);
    const Hsb more = [&] {
        const SrgbColor c = adjustedColor(base, 1.1, 1.06);
        EXPECT_NEAR(c.a, 0.7, kTol);
        return toHsb(c.r, c.g, c.b);
    }();
    EXPECT_NEAR(more.h, 0.6, 1e-9);
    EXPECT_NEAR(more.s, 0.55, 1e-9);
    EXPECT_NEAR(more.v, 0.53, 1e-9);
    const SrgbColor clamped = adjustedColor(fromHsb(0.1, 0.95, 0.99), 2.0, 2.0);
    const Hsb c = toHsb(clamped.r, clamped.g, clamped.b);
    EXPECT_NEAR(c.s, 1.0, 1e-9);
    EXPECT_NEAR(c.v, 1.0, 1e-9);
}

} // namespace
