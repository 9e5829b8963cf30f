#include "TrayIconColours.h"

namespace {

const QColor lightInk(0xf5, 0xf5, 0xf5);
const QColor darkInk(0x1e, 0x1e, 0x1e);
const QColor anyPanelInk(0x79, 0x79, 0x79);

}  // namespace

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
