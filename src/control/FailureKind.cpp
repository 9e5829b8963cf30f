#include "FailureKind.h"

FailureKind failureKind(const QString& message) {
    const auto starts = [&](const char* prefix) {
        return message.startsWith(QLatin1String(prefix));
    };
    if (starts("No litra tool chosen yet")) {
        return FailureKind::noTool;
    }
    if (starts("Bundled litra binary missing")) {
        return FailureKind::shippedToolMissing;
    }
    if (starts("Could not start ") && message.endsWith(QLatin1String("Permission denied"))) {
        return FailureKind::toolNotExecutable;
    }
    if (starts("Could not start ") || starts("The litra tool chosen in Preferences")) {
        return FailureKind::toolCannotStart;
    }
    if (starts("Failed to parse litra output") || starts("litra wrote more than")) {
        return FailureKind::notLitra;
    }
    if (starts("litra did not finish")) {
        return FailureKind::hung;
    }
    if (starts("litra was killed by")) {
        return FailureKind::crashed;
    }
    if (starts("litra exited ")) {
        return FailureKind::failed;
    }
    return FailureKind::other;
}
