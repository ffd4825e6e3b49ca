// The colour a picture gives a card's header: the dominant vivid hue, else
// the plain average; and the adjustment applied to it.
#include <gtest/gtest.h>

#include <vector>

#include "cards/colorsampling.h"

using namespace ColorSampling;

namespace {

using Rgb = std::optional<std::array<double, 3>>; // 0-255 channels; none: no colour

void expectColour(const std::optional<SrgbColor> &got, const Rgb &want, const char *what)
{
    ASSERT_EQ(got.has_value(), want.has_value()) << what;
    if (got) {
        EXPECT_NEAR(got->r, (*want)[0] / 255.0, 1e-9) << what;
        EXPECT_NEAR(got->g, (*want)[1] / 255.0, 1e-9) << what;
        EXPECT_NEAR(got->b, (*want)[2] / 255.0, 1e-9) << what;
        EXPECT_EQ(got->a, 1) << what;
    }
}

TEST(ColorSampling, PictureColourIsTheDominantVividHueElseTheAverage)
{
    struct Run {
        uchar r, g, b, a;
        int count;
    };
    const struct {
        const char *name;
        std::vector<Run> runs; // premultiplied RGBA pixels, in order
        Rgb dominant;
        std::optional<Rgb> average; // none: not checked
    } rows[] = {
        {"single_vivid_colour_exactly", {{200, 40, 40, 255, 1024}}, {{200, 40, 40}}, {}},
        // Weight is v × s²: 300 vivid red pixels beat 600 dull blue ones.
        {"vividness_beats_count", {{90, 90, 110, 255, 600}, {240, 10, 10, 255, 300}}, {{240, 10, 10}}, {}},
        {"equal_weights_take_the_lower_hue_bin", {{0, 200, 0, 255, 1}, {200, 0, 0, 255, 1}}, {{200, 0, 0}}, {}},
        {"alpha_at_five_percent", {{12, 0, 0, 12, 1024}}, {}, {}},
        {"too_dark", {{30, 5, 5, 255, 1024}}, {}, {}},
        {"too_bright", {{252, 120, 120, 255, 1024}}, {}, {}},
        {"grey_unsaturated", {{128, 125, 122, 255, 1024}}, {}, {}},
        {"black_and_white_average_to_grey", {{0, 0, 0, 255, 32}, {255, 255, 255, 255, 32}}, {}, {{{127.5, 127.5, 127.5}}}},
        {"transparent_counts_as_black_in_the_average", {{255, 0, 0, 255, 32}, {0, 0, 0, 0, 32}}, {},
         {{{127.5, 0, 0}}}}};
    for (const auto &row : rows) {
        std::vector<uchar> bytes;
        for (const Run &run : row.runs)
            for (int i = 0; i < run.count; ++i)
                bytes.insert(bytes.end(), {run.r, run.g, run.b, run.a});
        const int w = int(bytes.size() / 4);
        expectColour(dominantHueColor(bytes.data(), w, 1, w * 4), row.dominant, row.name);
        if (row.average)
            expectColour(averageColor(bytes.data(), w, 1, w * 4), *row.average, row.name);
    }
}

} // namespace
