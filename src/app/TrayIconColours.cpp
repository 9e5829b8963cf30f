#include "TrayIconColours.h"

#include <algorithm>
#include <cmath>

namespace {

const QColor lightInk(0xf5, 0xf5, 0xf5);
const QColor darkInk(0x1e, 0x1e, 0x1e);
const QColor anyPanelInk(0x79, 0x79, 0x79);

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

double relativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double first = relativeLuminance(a);
    const double second = relativeLuminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

PanelTone toneOf(const QColor& panel) {
    return contrastRatio(lightInk, panel) >= contrastRatio(darkInk, panel) ? PanelTone::dark
                                                                           : PanelTone::light;
}

PanelTone panelTone(const PanelClues& clues) {
    PanelTone agreed = PanelTone::unknown;
    for (PanelTone hint : {clues.trayColours, clues.portal, clues.palette}) {
        if (hint == PanelTone::unknown) {
            continue;
        }
        if (agreed != PanelTone::unknown && hint != agreed) {
            return PanelTone::unknown;
        }
        agreed = hint;
    }
    return agreed;
}

QColor iconInk(TrayIconStyle style, PanelTone panel) {
    if (style == TrayIconStyle::light ||
        (style == TrayIconStyle::automatic && panel == PanelTone::dark)) {
        return lightInk;
    }
    if (style == TrayIconStyle::dark || panel == PanelTone::light) {
        return darkInk;
    }
    return anyPanelInk;
}

QColor iconRim(TrayIconStyle style, PanelTone panel) {
    return style == TrayIconStyle::automatic && panel == PanelTone::unknown ? darkInk : QColor();
}
