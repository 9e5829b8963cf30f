#include "TrayIconColours.h"

namespace {

const QColor lightInk(0xf5, 0xf5, 0xf5);
const QColor darkInk(0x1e, 0x1e, 0x1e);

}  // namespace

PanelTone toneOf(const QColor& panel) {
    return contrastRatio(lightInk, panel) >= contrastRatio(darkInk, panel) ? PanelTone::dark
                                                                           : PanelTone::light;
}

IconColours iconColours(TrayIconStyle style, PanelTone panel) {
    if (style == TrayIconStyle::light ||
        (style == TrayIconStyle::automatic && panel == PanelTone::dark)) {
        return {lightInk, {}};
    }
    if (style == TrayIconStyle::dark || panel == PanelTone::light) {
        return {darkInk, {}};
    }
    return {lightInk, darkInk};
}
