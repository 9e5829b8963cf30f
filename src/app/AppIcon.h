#pragma once

#include <QIcon>
#include <QString>

// Glowdeck's own icon ("AppIcon"), compiled in.
inline constexpr const char* appIconPath = ":/glowdeck/AppIcon.svg";

// The icon drawn from an SVG at the usual icon sizes, so that it needs no image plugin. A null
// icon when the file cannot be read or is not a valid SVG.
QIcon loadAppIcon(const QString& svgPath = QLatin1String(appIconPath));
