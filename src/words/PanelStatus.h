#pragma once

#include "LightStatus.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <optional>

// The status as a panel module shows it (`glowdeck status --json`): a state name that is also
// its style class, a one-line text, a tool tip with every light, the lights' mean brightness.
struct PanelStatus {
    QString state;  // "on", "off", "mixed", "none" or "error"
    QString text;
    QString tooltip;
    std::optional<int> percentage;  // none when no light reports its brightness
};

// `lights` as the bus carries them: serial_number, name, on, brightness (per cent), each
// optional.
PanelStatus panelStatus(const LightStatus& status, const QList<QVariantMap>& lights);
