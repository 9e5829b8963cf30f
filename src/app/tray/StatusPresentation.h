#pragma once

#include "LightStatus.h"

#include <QString>

// What the tray icon shows for a status: the symbol drawn and the text that goes with it (tool
// tip and accessible text alike).
struct StatusPresentation {
    QString symbolName;
    QString toolTip;

    friend bool operator==(const StatusPresentation&, const StatusPresentation&) = default;
};

// The tool tip is the status's headline, then what to do about it, then "Camera in use" while a
// camera is.
StatusPresentation presentationFor(const LightStatus& status, bool cameraInUse = false,
                                   bool lightNeedsPermission = false);

// The text as a tool tip shows it, never as markup: Qt renders a tool tip that looks like HTML
// as rich text, and loads the images it names.
QString plainToolTip(const QString& text);

// The Qt resource that holds the icon of a symbol name.
QString symbolResourcePath(const QString& symbolName);
// The same symbol drawn on whole pixels at 16 px, for the smallest trays.
QString smallSymbolResourcePath(const QString& symbolName);
