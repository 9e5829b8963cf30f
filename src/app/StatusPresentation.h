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

StatusPresentation presentationFor(const LightStatus& status);

// The Qt resource that holds the icon of a symbol name.
QString symbolResourcePath(const QString& symbolName);
