#include "Attention.h"

#include "LitraError.h"

Attention attentionFor(const LightStatus& status, bool lightNeedsPermission,
                       int failedRefreshesInARow) {
    if (lightNeedsPermission &&
        (status.isError() || status.kind() == LightStatus::Case::noDevices)) {
        return Attention::noPermission;
    }
    if (!status.isError()) {
        return Attention::none;
    }
    const QString& message = status.message();
    if (message == LitraError::noToolChosen().localizedDescription() ||
        message == LitraError::binaryMissing().localizedDescription()) {
        return Attention::noTool;
    }
    if (message.startsWith(QLatin1String("Could not start ")) ||
        message.startsWith(QLatin1String("The litra tool chosen in Preferences"))) {
        return Attention::toolCannotStart;
    }
    return failedRefreshesInARow >= failuresBeforeAttention ? Attention::lightFailing
                                                            : Attention::none;
}
