// The colour a picture gives a card's header: the dominant vivid hue, else
// the plain average; and the adjustment applied to it.
#include <gtest/gtest.h>

#include <vector>

#include "cards/colorsampling.h"

using namespace ColorSampling;

namespace {

constexpr double kTol = 1e-9;

struct PixelRun
{
    uchar r, g, b, a;
    int count;
};

// 0-255 channels; r < 0: no colour; r = kUnchecked: not checked.
struct Rgb
{
    double r, g, b;
};
constexpr double kUnchecked = 1000;
constexpr Rgb kNone{-1, 0, 0};
constexpr Rgb kSkip{kUnchecked, 0, 0};

struct PictureRow
{
    const char *name;
    std::vector<PixelRun> runs; // premultiplied RGBA pixels, in order
    Rgb dominant;
    Rgb average;
};

void expectColour(const std::optional<SrgbColor> &got, const Rgb &want, const char *what)
{
    if (want.r == kUnchecked)
        return;
    ASSERT_EQ(got.has_value(), want.r >= 0) << what;
    if (!got)
        return;
    EXPECT_NEAR(got->r, want.r / 255.0, kTol) << what;
    EXPECT_NEAR(got->g, want.g / 255.0, kTol) << what;
    EXPECT_NEAR(got->b, want.b / 255.0, kTol) << what;
    EXPECT_EQ(got->a, 1) << what;
}

class PictureColour : public ::testing::TestWithParam<PictureRow> {};

TEST_P(PictureColour, IsTheDominantHueElseTheAverage)
{
    std::vector<uchar> bytes;
    for (const PixelRun &run : GetParam().runs)
        for (int i = 0; i < run.count; ++i)
            bytes.insert(bytes.end(), {run.r, run.g, run.b, run.a});
    const int w = int(bytes.size() / 4);
    expectColour(dominantHueColor(bytes.data(), w, 1, w * 4), GetParam().dominant, "dominant");
    expectColour(averageColor(bytes.data(), w, 1, w * 4), GetParam().average, "average");
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PictureColour,
    ::testing::Values(
        PictureRow{"single_vivid_colour_exactly", {{200, 40, 40, 255, 1024}}, {200, 40, 40}, kSkip},
        // Weight is v × s²: 300 vivid red pixels beat 600 dull blue ones.
        PictureRow{"vividness_beats_count", {{90, 90, 110, 255, 600}, {240, 10, 10, 255, 300}}, {240, 10, 10}, kSkip},
        PictureRow{"equal_weights_take_the_lower_hue_bin", {{0, 200, 0, 255, 1}, {200, 0, 0, 255, 1}}, {200, 0, 0}, kSkip},
        PictureRow{"fully_transparent", {{0, 0, 0, 0, 1024}}, kNone, kSkip},
        PictureRow{"alpha_at_five_percent", {{12, 0, 0, 12, 1024}}, kNone, kSkip},
        PictureRow{"too_dark", {{30, 5, 5, 255, 1024}}, kNone, kSkip},
        PictureRow{"too_bright", {{252, 120, 120, 255, 1024}}, kNone, kSkip},
        PictureRow{"grey_unsaturated", {{128, 125, 122, 255, 1024}}, kNone, kSkip},
        PictureRow{"black_and_white_average_to_grey", {{0, 0, 0, 255, 32}, {255, 255, 255, 255, 32}}, kNone,
                   {127.5, 127.5, 127.5}},
        PictureRow{"transparent_counts_as_black_in_the_average", {{255, 0, 0, 255, 32}, {0, 0, 0, 0, 32}}, kSkip,
                   {127.5, 0, 0}}),
    [](const auto &info) { return std::string(info.param.name); });

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
