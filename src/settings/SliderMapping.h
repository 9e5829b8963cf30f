#pragma once

#include <optional>

// Geometry and value arithmetic of the capsule slider, free of any widget. Positions are in the
// slider's own coordinates: x = 0 at the track's leading edge.
namespace slider {

struct Range {
    double lower = 0.0;
    double upper = 1.0;
    double span() const { return upper - lower; }
};

// How far the thumb's leading edge can travel: width − thumbSize, never negative.
double usableWidth(double width, double thumbSize);

// Where the value lies in the range, 0 to 1. Values outside the range pin to the nearer end;
// an empty range pins to 0.
double fraction(double value, Range range);

// Distance of the thumb's leading edge from the track's leading edge.
double thumbOffset(double usableWidth, double fraction);

// Snaps to the step grid anchored at 0 (halves away from zero), then applies the lower bound
// and after it the upper bound.
double snapAndBound(double value, Range range, double step);

// The value a press or drag at x produces, with the thumb's centre under the pointer.
// None when there is no room to move the thumb: the value must then be left alone.
std::optional<double> valueAtPosition(double x, double usableWidth, double thumbSize, Range range,
                                      double step);

// The value after moving `steps` grid points up (positive) or down (negative) from `value`.
// A value between grid points counts its nearer neighbour in the direction of travel as the
// first step. The result is bounded like a dragged value.
double valueAfterSteps(double value, int steps, Range range, double step);

}  // namespace slider
