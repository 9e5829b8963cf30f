#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

// An icon drawn from a one-colour SVG in the given colour, rendered afresh at every size asked
// for, so that it stays crisp at any scale. A null icon when the SVG cannot be read.
// `iconName` is the name the icon gives as QIcon::name(): Qt's
// StatusNotifierItem passes it on to the tray host, which may load that icon of its theme
// instead of the pixels.
// `smallSvgPath`, where given, is a drawing on whole pixels for icons of fewer than 20 pixels.
// A valid `rim` colour draws a rim around the shapes, a pixel wide at tray sizes and wider in
// proportion above them.
QIcon monochromeIcon(const QString& svgPath, const QColor& color, const QString& iconName = {},
                     const QString& smallSvgPath = {}, const QColor& rim = {});
