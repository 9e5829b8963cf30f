#include "SliderMapping.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace {

using slider::Range;

constexpr Range percent{1.0, 100.0};
constexpr Range kelvin{2700.0, 6500.0};
constexpr Range offGrid{2750.0, 6500.0};  // lower bound between two points of the 100 K grid

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
