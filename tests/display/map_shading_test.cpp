// Cell shades by value: blue at the map's lowest, near white in the middle, red at its highest, and
// never the colours of the live marks.
#include "display/map_shading.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace torvane {
namespace {

constexpr Shade kLow{170, 200, 255};
constexpr Shade kMiddle{245, 245, 245};
constexpr Shade kHigh{255, 180, 160};

TEST(MapShading, EndsMiddleAndClamping) {
    EXPECT_EQ(ValueShade(-20, -20, 20), kLow);
    EXPECT_EQ(ValueShade(0, -20, 20), kMiddle);
    EXPECT_EQ(ValueShade(20, -20, 20), kHigh);
    EXPECT_EQ(ValueShade(-10, -20, 20), (Shade{208, 223, 250}));  // a quarter: halfway to the middle
    EXPECT_EQ(ValueShade(-500, -20, 20), kLow);
    EXPECT_EQ(ValueShade(500, -20, 20), kHigh);
    EXPECT_EQ(ValueShade(INT_MAX, INT_MIN, INT_MAX), kHigh);  // the span does not overflow
    EXPECT_EQ(ValueShade(INT_MIN, INT_MIN, INT_MAX), kLow);
}

TEST(MapShading, EqualAndReversedRanges) {
    EXPECT_EQ(ValueShade(7, 7, 7), kMiddle);
    EXPECT_EQ(ValueShade(-3, 7, 7), kMiddle);
    EXPECT_EQ(ValueShade(0, 100, 0), kLow);
    EXPECT_EQ(ValueShade(100, 100, 0), kHigh);
}

TEST(MapShading, RedRisesTowardsTheTopAndNoShadeIsALiveColour) {
    for (int v = 0; v <= 100; ++v) {
        const Shade s = ValueShade(v, 0, 100);
        if (v > 50) {
            EXPECT_GE(s.red, ValueShade(v - 1, 0, 100).red) << v;
        }
        EXPECT_GE(s.blue, 160) << v;  // the live green and yellow have no blue at all
    }
    EXPECT_GT(ValueShade(100, 0, 100).red, ValueShade(50, 0, 100).red);
}

TEST(MapShading, RangeOfValues) {
    const std::vector<int> v = {12, -4, 30, 7};
    EXPECT_EQ(RangeOf(v).lowest, -4);
    EXPECT_EQ(RangeOf(v).highest, 30);
    EXPECT_EQ(RangeOf({}).lowest, 0);
    EXPECT_EQ(RangeOf({}).highest, 0);
}

}  // namespace
}  // namespace torvane
