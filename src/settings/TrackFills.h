#pragma once

#include <QLinearGradient>

// The track gradients of the two light sliders, running from the leading to the trailing edge
// of whatever shape they fill.
QLinearGradient brightnessTrackFill();
QLinearGradient temperatureTrackFill();
