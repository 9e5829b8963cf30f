#include "SliderMapping.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace {

using slider::Range;

constexpr Range percent{1.0, 100.0};
constexpr Range kelvin{2700.0, 6500.0};

struct PositionCase {
    const char* name;
    double width;
    Range range;
    double step;
    double x;
    std::optional<double> expected;
};

// Thumb size 22 throughout, so W = 222 gives U = 200 and x = p + 11.
const PositionCase positionCases[] = {
    {"ThumbCentreAtLeadingEndGivesLower", 222, percent, 1, 11, 1.0},
    {"HalfRoundsAwayFromZero", 222, percent, 1, 111, 51.0},
    {"ThumbCentreAtTrailingEndGivesUpper", 222, percent, 1, 211, 100.0},
    {"BeyondTrailingEndPinsToUpper", 222, percent, 1, 500, 100.0},
    {"BeforeLeadingEndPinsToLower", 222, percent, 1, -40, 1.0},
    {"KelvinMiddle", 222, kelvin, 100, 111, 4600.0},
    {"KelvinNearLowerSnapsDown", 222, kelvin, 100, 12, 2700.0},
    {"KelvinNearUpperSnapsUp", 222, kelvin, 100, 210, 6500.0},
    {"GridAnchoredAtZeroNotAtLower", 222, {2750.0, 6500.0}, 100, 11, 2800.0},
    {"SnapAboveUpperIsClampedToUpper", 222, {1.0, 99.5}, 1, 211, 99.5},
    {"EmptyRangeAlwaysGivesLower", 222, {50.0, 50.0}, 1, 180, 50.0},
    {"OnePointOfTravel", 23, percent, 1, 11.5, 51.0},
    {"WidthEqualToThumbChangesNothing", 22, percent, 1, 11, std::nullopt},
    {"ZeroWidthChangesNothing", 0, percent, 1, 0, std::nullopt},
};

class ValueAtPosition : public testing::TestWithParam<PositionCase> {};

TEST_P(ValueAtPosition, MapsPointerToSteppedValue) {
    const PositionCase& c = GetParam();
    const double usable = slider::usableWidth(c.width, 22.0);
    EXPECT_EQ(slider::valueAtPosition(c.x, usable, 22.0, c.range, c.step), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ValueAtPosition, testing::ValuesIn(positionCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct SnapCase {
    const char* name;
    double raw;
    Range range;
    double expected;
};

const SnapCase snapCases[] = {
    {"RawBelowLowerAfterSnapTakesLower", 2720, {2750.0, 6500.0}, 2750.0},
    {"LowerOffGridSnapsUp", 2750, {2750.0, 6500.0}, 2800.0},
    {"NegativeHalfRoundsAwayFromZero", -250, {-1000.0, 1000.0}, -300.0},
    {"LowerAppliedBeforeUpper", 400, {500.0, 300.0}, 300.0},
};

class SnapAndBound : public testing::TestWithParam<SnapCase> {};

TEST_P(SnapAndBound, SnapsToHundredsThenBounds) {
    const SnapCase& c = GetParam();
    EXPECT_DOUBLE_EQ(slider::snapAndBound(c.raw, c.range, 100.0), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SnapAndBound, testing::ValuesIn(snapCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct FractionCase {
    const char* name;
    double value;
    Range range;
    double expected;
};

const FractionCase fractionCases[] = {
    {"Middle", 50.5, percent, 0.5},
    {"AboveUpperPinsToTrailingEnd", 150, percent, 1.0},
    {"BelowLowerPinsToLeadingEnd", -20, percent, 0.0},
    {"EmptyRange", 50, {50.0, 50.0}, 0.0},
    {"NotANumber", std::numeric_limits<double>::quiet_NaN(), percent, 0.0},
};

class Fraction : public testing::TestWithParam<FractionCase> {};

TEST_P(Fraction, PlacesTheThumb) {
    const FractionCase& c = GetParam();
    const double f = slider::fraction(c.value, c.range);
    EXPECT_DOUBLE_EQ(f, c.expected);
    EXPECT_DOUBLE_EQ(slider::thumbOffset(slider::usableWidth(222, 22), f), 200.0 * c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Fraction, testing::ValuesIn(fractionCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct StepCase {
    const char* name;
    double value;
    int steps;
    Range range;
    double step;
    double expected;
};

const StepCase stepCases[] = {
    {"BetweenGridPointsUpTakesNextPoint", 37.5, 1, percent, 1, 38},
    {"BetweenGridPointsDownTakesPreviousPoint", 37.5, -1, percent, 1, 37},
    {"AboveRangeComesBackToUpper", 120, -1, percent, 1, 100},
    {"PageUpStopsAtUpper", 6400, 10, kelvin, 100, 6500},
    {"DownToOffGridLower", 2800, -1, {2750.0, 6500.0}, 100, 2750},
    {"UpFromOffGridLower", 2750, 1, {2750.0, 6500.0}, 100, 2800},
    {"FractionalStepOnGrid", 0.3, 1, {0.0, 1.0}, 0.1, 0.4},
};

class ValueAfterSteps : public testing::TestWithParam<StepCase> {};

TEST_P(ValueAfterSteps, MovesAlongTheGrid) {
    const StepCase& c = GetParam();
    EXPECT_DOUBLE_EQ(slider::valueAfterSteps(c.value, c.steps, c.range, c.step), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ValueAfterSteps, testing::ValuesIn(stepCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
