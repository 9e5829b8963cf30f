#pragma once

#include "AppState.h"

#include <QPoint>
#include <QString>

#include <optional>

// A turn of the wheel over the icon, in notches: positive raises the value (up, or right), a
// temperature turn is sideways or made with Shift.
struct WheelTurn {
    int notches = 0;
    bool temperature = false;
    friend bool operator==(const WheelTurn&, const WheelTurn&) = default;
};

// Turns scrolls over the icon into notches. Tray hosts built on Qt (LXQt, Plasma) call
// Scroll(delta, orientation) with Qt's wheel delta: 120 per notch, up and left positive. The
// others (waybar, swaybar, GNOME's extension) send a count of notches, down and right positive,
// as GTK counts them, and name the orientation in lower case. Parts of a notch (a touchpad, a
// fine wheel) add up until they make a whole one.
class WheelReader {
public:
    WheelTurn fromHost(int delta, const QString& orientation, bool shift);
    // A wheel event's angle delta, as Qt gives it to the icon's own window.
    WheelTurn fromAngle(QPoint angleDelta, bool shift);

private:
    WheelTurn fromEighths(int raise, bool sideways, bool shift);

    int verticalRest_ = 0;
    int sidewaysRest_ = 0;
};

// Brightness steps by 5 % within 1–100 %, temperature by 100 K within the lights' range; a value
// off the steps goes to the next step first. None when no light reported the value.
std::optional<qint64> brightnessAfter(std::optional<double> percentage, int notches);
std::optional<qint64> temperatureAfter(std::optional<double> kelvin, int notches,
                                       TemperatureRange range);
