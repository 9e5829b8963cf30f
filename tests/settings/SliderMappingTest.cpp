#include "SliderMapping.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace {

using slider::Range;

constexpr Range percent{1.0, 100.0};
constexpr Range kelvin{2700.0, 6500.0};
constexpr Range offGrid{2750.0, 6500.0};  // lower bound between two points of the 100 K grid

TEST(SliderMapping, PointerPositionGivesASteppedValue) {
    // A thumb of 22 on a slider 222 wide: 200 points of travel, the thumb's centre at 11 + p.
    const auto at = [](double x, Range range = percent, double step = 1, double width = 222) {
        return slider::valueAtPosition(x, slider::usableWidth(width, 22), 22, range, step);
    };
    EXPECT_EQ(at(11), 1.0);
    EXPECT_EQ(at(111), 51.0) << "half rounds away from zero";
    EXPECT_EQ(at(211), 100.0);
    EXPECT_EQ(at(500), 100.0) << "pinned past the ends";
    EXPECT_EQ(at(111, kelvin, 100), 4600.0);
    EXPECT_EQ(at(11, offGrid, 100), 2800.0) << "grid anchored at zero, not at lower";
    EXPECT_EQ(at(211, {1, 99.5}), 99.5) << "snapped above upper is bounded";
    EXPECT_EQ(at(180, {50, 50}), 50.0) << "empty range";
    EXPECT_EQ(at(11.5, percent, 1, 23), 51.0) << "one point of travel";
    EXPECT_EQ(at(11, percent, 1, 22), std::nullopt) << "no travel changes nothing";
    EXPECT_EQ(at(0, percent, 1, 0), std::nullopt);
}

TEST(SliderMapping, SnapsBoundsAndSteps) {
    EXPECT_EQ(slider::snapAndBound(2750, offGrid, 100), 2800);
    EXPECT_EQ(slider::snapAndBound(-250, {-1000, 1000}, 100), -300) << "half away from zero";
    EXPECT_EQ(slider::snapAndBound(400, {500, 300}, 100), 300) << "upper applied last";

    const auto after = [](double value, int steps, Range range = percent, double step = 1) {
        return slider::valueAfterSteps(value, steps, range, step);
    };
    EXPECT_EQ(after(37.5, 1), 38) << "between grid points the next one is the first step";
    EXPECT_EQ(after(37.5, -1), 37);
    EXPECT_EQ(after(120, -1), 100) << "above the range comes back to upper";
    EXPECT_EQ(after(6400, 10, kelvin, 100), 6500);
    EXPECT_EQ(after(2800, -1, offGrid, 100), 2750);
    EXPECT_EQ(after(2750, 1, offGrid, 100), 2800);
    EXPECT_DOUBLE_EQ(after(0.3, 1, {0, 1}, 0.1), 0.4);

    EXPECT_EQ(slider::fraction(std::numeric_limits<double>::quiet_NaN(), percent), 0);
    EXPECT_EQ(slider::fraction(50, {50, 50}), 0) << "empty range";
}

}  // namespace
