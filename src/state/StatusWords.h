#pragma once

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

// What went wrong, as far as it tells what the user can do about it, from an error's message.
enum class FailureKind {
    noTool,              // none shipped, none chosen
    shippedToolMissing,  // built to ship one that is not there
    toolNotExecutable,
    toolCannotStart,  // gone, not a program, or a chosen path that is not absolute
    notLitra,         // output that is no device report
    hung,
    crashed,
    failed,  // exited with an error of its own
    other,
};
FailureKind failureKind(const QString& errorMessage);

// The status a display text stands for, as the bus carries it: the inverse of displayText.
LightStatus statusFromDisplayText(const QString& text);
