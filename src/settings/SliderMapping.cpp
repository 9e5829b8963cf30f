#include "SliderMapping.h"

#include <cmath>

namespace slider {

namespace {

double bound(double value, Range range) {
    double result = value <= range.lower ? range.lower : value;
    if (range.upper < result) {
        result = range.upper;
    }
    return result;
}

}  // namespace

double usableWidth(double width, double thumbSize) {
    const double usable = width - thumbSize;
    return usable < 0.0 ? 0.0 : usable;
}

double fraction(double value, Range range) {
    const double span = range.span();
    if (span <= 0.0) {
        return 0.0;
    }
    const double f = (value - range.lower) / span;
    // Written as !(f > 0) so that a NaN lands on the leading edge too.
    if (!(f > 0.0)) {
        return 0.0;
    }
    return f > 1.0 ? 1.0 : f;
}

double thumbOffset(double usableWidth, double fraction) {
    return usableWidth * fraction;
}

double snapAndBound(double value, Range range, double step) {
    // std::round takes halves away from zero.
    return bound(step * std::round(value / step), range);
}

std::optional<double> valueAtPosition(double x, double usableWidth, double thumbSize, Range range,
                                      double step) {
    if (usableWidth <= 0.0) {
        return std::nullopt;
    }
    double p = x + thumbSize * -0.5;
    if (p <= 0.0) {
        p = 0.0;
    } else if (p > usableWidth) {
        p = usableWidth;
    }
    const double raw = range.lower + range.span() * (p / usableWidth);
    return snapAndBound(raw, range, step);
}

double valueAfterSteps(double value, int steps, Range range, double step) {
    double position = value / step;
    // A value on the grid must not count as lying between two points because of rounding.
    if (const double nearest = std::round(position); std::abs(position - nearest) < 1e-9) {
        position = nearest;
    }
    double target = 0.0;
    if (steps > 0) {
        target = step * (std::floor(position) + steps);
    } else if (steps < 0) {
        target = step * (std::ceil(position) + steps);
    } else {
        target = step * std::round(position);
    }
    return bound(target, range);
}

}  // namespace slider
