#include "ReadableColour.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double smallTextContrast = 4.5;

double channel(double value) {
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

QColor blend(const QColor& from, const QColor& to, double share) {
    auto mix = [share](float a, float b) { return a + (b - a) * share; };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                            mix(from.blueF(), to.blueF()));
}

}  // namespace

double relativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double first = relativeLuminance(a);
    const double second = relativeLuminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor secondaryTextColour(const QColor& text, const QColor& background) {
    // Contrast falls as the share of background grows; the steps are finer than 8-bit channels
    // tell apart near the limit.
    QColor best = text;
    for (double share = 0.02; share <= 0.6; share += 0.02) {
        const QColor candidate = blend(text, background, share);
        if (contrastRatio(candidate, background) < smallTextContrast + 0.1) {
            break;
        }
        best = candidate;
    }
    return best;
}
