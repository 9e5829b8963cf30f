#pragma once

#include <QString>

// What went wrong, as far as it tells what the user can do about it, from the message of an
// error the controller raised.
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
