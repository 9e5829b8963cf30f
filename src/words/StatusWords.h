#pragma once

#include "FailureKind.h"
#include "LightStatus.h"

#include <QString>

// What a status says to the person reading it. The tool tip and the menu show the headline and
// the advice; Preferences adds the detail.
struct StatusWords {
    QString headline;  // one line: "All lights: On", "Error: litra exited 1: …"
    QString advice;    // one short line on what to do; empty when nothing needs doing
    QString detail;    // the whole message, when it says more than the headline; else empty

    friend bool operator==(const StatusWords&, const StatusWords&) = default;
};

// displayText() in the reader's language.
QString shownText(const LightStatus& status);

// With `lightNeedsPermission`, a light is connected that the user may not use: that is what the
// headline says, whatever the tool made of it.
StatusWords statusWords(const LightStatus& status, bool lightNeedsPermission = false);

// The status a display text stands for, as the bus carries it: the inverse of displayText.
LightStatus statusFromDisplayText(const QString& text);
