#include "WheelSteps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int eighthsPerNotch = 120;
// More than any hand turns between two calls; a host's wild delta stays a short step.
constexpr int notchesPerCallLimit = 20;
// Below this a host's delta counts notches, not eighths of a degree.
constexpr int smallestEighths = 8;

qint64 stepped(double value, int notches, qint64 step, qint64 lower, qint64 upper) {
    // Off the grid, the first notch goes only as far as the next step in its direction.
    const double onGrid = notches > 0 ? std::floor(value / step) : std::ceil(value / step);
    const qint64 next = (static_cast<qint64>(onGrid) + notches) * step;
    return std::clamp(next, lower, upper);
}

}  // namespace

WheelTurn WheelReader::fromHost(int delta, const QString& orientation, bool shift) {
    delta = std::clamp(delta, -notchesPerCallLimit * eighthsPerNotch,
                       notchesPerCallLimit * eighthsPerNotch);
    const bool sideways = orientation.compare(QLatin1String("horizontal"), Qt::CaseInsensitive) == 0;
    const bool inNotches = std::abs(delta) < smallestEighths && !orientation.isEmpty() &&
                           orientation.front().isLower();
    if (!inNotches) {
        return fromEighths(sideways ? -delta : delta, sideways, shift);
    }
    return {sideways ? delta : -delta, sideways || shift};
}

WheelTurn WheelReader::fromAngle(QPoint angleDelta, bool shift) {
    if (angleDelta.y() != 0) {
        return fromEighths(angleDelta.y(), false, shift);
    }
    return fromEighths(-angleDelta.x(), true, shift);
}

WheelTurn WheelReader::fromEighths(int raise, bool sideways, bool shift) {
    int& rest = sideways ? sidewaysRest_ : verticalRest_;
    // A turn the other way starts afresh.
    if ((rest > 0 && raise < 0) || (rest < 0 && raise > 0)) {
        rest = 0;
    }
    rest += std::clamp(raise, -notchesPerCallLimit * eighthsPerNotch,
                       notchesPerCallLimit * eighthsPerNotch);
    const int notches = rest / eighthsPerNotch;
    rest -= notches * eighthsPerNotch;
    return {notches, sideways || shift};
}

std::optional<qint64> brightnessAfter(std::optional<double> percentage, int notches) {
    if (!percentage) {
        return std::nullopt;
    }
    return stepped(*percentage, notches, 5, 1, 100);
}

std::optional<qint64> temperatureAfter(std::optional<double> kelvin, int notches,
                                       TemperatureRange range) {
    if (!kelvin) {
        return std::nullopt;
    }
    const auto lower = static_cast<qint64>(std::ceil(range.lower / 100.0)) * 100;
    const auto upper = static_cast<qint64>(std::floor(range.upper / 100.0)) * 100;
    return stepped(*kelvin, notches, 100, lower, std::max(lower, upper));
}
