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

struct IconColours {
    QColor ink;
    // A rim around the ink, one pixel or more wide; invalid where there is none.
    QColor rim;

    friend bool operator==(const IconColours&, const IconColours&) = default;
};

// Light ink for a dark panel, dark ink for a light one. Where the tone is unknown, light ink with
// a dark rim: the ink stands out from a dark panel and the rim from a light one.
IconColours iconColours(TrayIconStyle style, PanelTone panel);
