#pragma once

#include <QIcon>
#include <QString>

// The pixel sizes icons are drawn at up front, and offered to hosts that pick from a list.
inline constexpr int iconSides[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Glowdeck's own icon ("AppIcon"), compiled in.
inline constexpr const char* appIconPath = ":/glowdeck/AppIcon.svg";

// The icon drawn from an SVG at the usual icon sizes, so that it needs no image plugin. A null
// icon when the file cannot be read or is not a valid SVG.
QIcon loadAppIcon(const QString& svgPath = QLatin1String(appIconPath));
