#pragma once

#include "AppState.h"
#include "ReadableColour.h"

#include <QColor>

// The colours of the tray icon, chosen from what is known of the panel behind it. Contrast is
// measured as WCAG 2 does: a ratio from 1:1 (the same) to 21:1 (black on white); graphics need
// 3:1 to be made out.

// The tone of the panel, as far as the desktop tells it.
enum class PanelTone { unknown, dark, light };

// Dark where light ink stands out more from it than dark ink does.
PanelTone toneOf(const QColor& panel);

// What each hint of the desktop says of the panel behind the tray icon; unknown where it is silent.
struct PanelClues {
    // The foreground the XEmbed tray asks its icons in (_NET_SYSTEM_TRAY_COLORS).
    PanelTone trayColours = PanelTone::unknown;
    // The desktop's colour scheme, from the XDG desktop portal.
    PanelTone portal = PanelTone::unknown;
    // Qt's palette, where the desktop's theme gives it.
    PanelTone palette = PanelTone::unknown;
};

// The tone the hints agree on. Hints come late, stale or wrong during a theme switch: where they
// disagree, or none is given, the tone is unknown.
PanelTone panelTone(const PanelClues& clues);

// Light ink for a dark panel, dark ink for a light one. Where the tone is unknown, a mid grey that
// stands out 3:1 or more from dark panels (#2a2e32 and darker) and light ones (#dcdcdc and
// lighter) alike, so that a filled bulb reads as filled on either; and a dark rim around it
// (iconRim) for the panels of a middle tone, such as a blue tray, that the grey melts into.
QColor iconInk(TrayIconStyle style, PanelTone panel);
// Invalid where the icon has no rim.
QColor iconRim(TrayIconStyle style, PanelTone panel);
