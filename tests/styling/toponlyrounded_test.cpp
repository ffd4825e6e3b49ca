// The top-only rounded outline: radius clamping and the path's course.
#include <gtest/gtest.h>

#include "styling/toponlyrounded.h"

namespace {

struct RadiusCase
{
    const char *name;
    qreal radius, w, h, expected;
};

class TopOnlyRoundedRadius : public ::testing::TestWithParam<RadiusCase> {};

TEST_P(TopOnlyRoundedRadius, ClampsToHalfTheSmallerSide)
{
    const auto &c = GetParam();
    EXPECT_DOUBLE_EQ(TopOnlyRounded{c.radius}.effectiveRadius(QRectF(0, 0, c.w, c.h)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Geometry, TopOnlyRoundedRadius,
                         ::testing::Values(RadiusCase{"ten_tall_radius_14_uses_5", 14, 100, 10, 5},
                                           RadiusCase{"header_band_keeps_14", 14, 296, 52, 14},
                                           RadiusCase{"narrow_rect_uses_half_width", 14, 6, 50, 3},
                                           RadiusCase{"zero_radius", 0, 100, 100, 0},
                                           RadiusCase{"empty_rect", 14, 0, 0, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(TopOnlyRoundedPath, RunsFromBottomLeftRoundingOnlyTheTop)
{
    const QRectF r(10, 20, 100, 10); // r = 5
    const QPainterPath p = TopOnlyRounded{14}.path(r);
    // Square bottom corners, rounded top ones.
    EXPECT_TRUE(p.contains(QPointF(10.2, 29.8)));
    EXPECT_TRUE(p.contains(QPointF(109.8, 29.8)));
    EXPECT_FALSE(p.contains(QPointF(10.3, 20.3)));
    EXPECT_FALSE(p.contains(QPointF(109.7, 20.3)));
}

} // namespace
