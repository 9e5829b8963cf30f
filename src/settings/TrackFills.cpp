#include "TrackFills.h"

#include <QColor>

#include <array>

namespace {

struct Rgb {
    double red;
    double green;
    double blue;
};

// Four colours spaced evenly along the shape's bounding box, left to right.
QLinearGradient horizontalGradient(const std::array<Rgb, 4>& colours) {
    QLinearGradient gradient(0.0, 0.5, 1.0, 0.5);
    gradient.setCoordinateMode(QGradient::ObjectMode);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const Rgb& c = colours[i];
        gradient.setColorAt(double(i) / double(colours.size() - 1),
                            QColor::fromRgbF(float(c.red), float(c.green), float(c.blue), 1.0f));
    }
    return gradient;
}

}  // namespace

QLinearGradient brightnessTrackFill() {
    return horizontalGradient(
        {{{0.05, 0.18, 0.45}, {0.2, 0.45, 0.85}, {0.55, 0.78, 1.0}, {0.85, 0.94, 1.0}}});
}

QLinearGradient temperatureTrackFill() {
    return horizontalGradient(
        {{{1.0, 0.62, 0.2}, {1.0, 0.86, 0.55}, {1.0, 0.98, 0.92}, {0.78, 0.93, 1.0}}});
}
