#pragma once

#include "LightStatus.h"

#include <QString>
#include <QtGlobal>

// The one text shown for a status wherever a status is shown.
QString displayText(const LightStatus& status);

// "1 device connected", "2 devices connected", ...
QString deviceCountText(qint64 deviceCount);

// The sentence added wherever the status is shown when a light needs permission.
QString missingPermissionText();

// Text from outside Glowdeck as it may be shown: control characters as visible pictures,
// no characters that change the direction or look of what follows, no final line break.
QString displayable(const QString& text);
