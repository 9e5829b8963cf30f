#pragma once

#include <QColor>

// Relative luminance of an sRGB colour, 0 for black to 1 for white.
double relativeLuminance(const QColor& colour);
// The contrast ratio of two colours as WCAG 2 measures it, from 1 (the same) to 21 (black on
// white). Graphics need 3:1 to be made out, small text 4.5:1.
double contrastRatio(const QColor& a, const QColor& b);

// A colour for secondary text: the text colour blended towards the background as far as a
// contrast of 4.5:1 with the background allows, for small text.
QColor secondaryTextColour(const QColor& text, const QColor& background);
