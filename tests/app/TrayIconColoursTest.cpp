#include "TrayIconColours.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Panels as desktops paint them: GNOME's top bar, dark themes, greys, light themes. Told its
// tone, the ink stands out from any of them; untold, from dark panels and light ones alike.
TEST(TrayIconColours, InkStandsOutFromEveryPanel) {
    for (QRgb rgb : {0x000000u, 0x202020u, 0x2a2e32u, 0x303030u, 0x3b4252u, 0x5a5a5au, 0x767676u,
                     0x808080u, 0x9a9a9au, 0x2980b9u, 0xdcdcdcu, 0xeff0f1u, 0xffffffu}) {
        const QColor panel(rgb);
        const std::string name = panel.name().toStdString();
        EXPECT_GE(contrastRatio(iconInk(TrayIconStyle::automatic, toneOf(panel)), panel), 3.0)
            << name;
        // Untold: the grey stands out from dark and light panels, its rim from mid tones. Dark
        // greys just above the darkest (#3b4252, #5a5a5a) are left at 2.3:1.
        const QColor ink = iconInk(TrayIconStyle::automatic, PanelTone::unknown);
        const QColor rim = iconRim(TrayIconStyle::automatic, PanelTone::unknown);
        const double luminance = relativeLuminance(panel);
        const double untold = luminance < 0.03 || luminance > 0.7
                                  ? contrastRatio(ink, panel)
                                  : std::max(contrastRatio(ink, panel), contrastRatio(rim, panel));
        EXPECT_GE(untold, luminance > 0.03 && luminance < 0.12 ? 2.3 : 3.0) << name;
        EXPECT_FALSE(iconRim(TrayIconStyle::automatic, toneOf(panel)).isValid()) << name;
    }
    for (PanelTone tone : {PanelTone::unknown, PanelTone::dark, PanelTone::light}) {
        EXPECT_GT(relativeLuminance(iconInk(TrayIconStyle::light, tone)), 0.8);
        EXPECT_LT(relativeLuminance(iconInk(TrayIconStyle::dark, tone)), 0.05);
    }
}

// The hints given must agree; one alone is taken at its word.
TEST(TrayIconColours, PanelToneIsWhatTheGivenHintsAgreeOn) {
    constexpr auto unknown = PanelTone::unknown, dark = PanelTone::dark, light = PanelTone::light;
    struct Row {
        const char* name;
        PanelClues clues;
        PanelTone tone;
    };
    for (const Row& row : {
             Row{"no hint", {}, unknown},
             Row{"tray colours alone", {dark, unknown, unknown}, dark},
             Row{"portal alone", {unknown, light, unknown}, light},
             Row{"palette alone", {unknown, unknown, dark}, dark},
             Row{"all agree", {light, light, light}, light},
             Row{"stale portal against the palette", {unknown, light, dark}, unknown},
             Row{"tray colours against the palette", {light, unknown, dark}, unknown},
             Row{"tray colours against the portal", {dark, light, unknown}, unknown},
             Row{"two against one", {dark, dark, light}, unknown},
         }) {
        EXPECT_EQ(panelTone(row.clues), row.tone) << row.name;
    }
}

}  // namespace
