#include "TrayIconColours.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Panels as desktops paint them: GNOME's top bar, dark themes, greys, light themes.
TEST(TrayIconColours, InkOrRimStandsOutFromEveryPanel) {
    for (QRgb rgb : {0x000000u, 0x202020u, 0x303030u, 0x3b4252u, 0x5a5a5au, 0x767676u, 0x808080u,
                     0x9a9a9au, 0xdcdcdcu, 0xeff0f1u, 0xffffffu}) {
        const QColor panel(rgb);
        const IconColours told = iconColours(TrayIconStyle::automatic, toneOf(panel));
        EXPECT_GE(contrastRatio(told.ink, panel), 3.0) << panel.name().toStdString();
        EXPECT_FALSE(told.rim.isValid());
        const IconColours untold = iconColours(TrayIconStyle::automatic, PanelTone::unknown);
        EXPECT_GE(std::max(contrastRatio(untold.ink, panel), contrastRatio(untold.rim, panel)), 3.0)
            << panel.name().toStdString();
    }
}

TEST(TrayIconColours, LightAndDarkStylesOverrideThePanel) {
    for (PanelTone tone : {PanelTone::unknown, PanelTone::dark, PanelTone::light}) {
        const IconColours light = iconColours(TrayIconStyle::light, tone);
        const IconColours dark = iconColours(TrayIconStyle::dark, tone);
        EXPECT_GT(relativeLuminance(light.ink), 0.8);
        EXPECT_LT(relativeLuminance(dark.ink), 0.05);
        EXPECT_FALSE(light.rim.isValid() || dark.rim.isValid());
    }
}

}  // namespace
