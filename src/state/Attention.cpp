#include "Attention.h"

#include "FailureKind.h"

Attention attentionFor(const LightStatus& status, bool lightNeedsPermission,
                       int failedRefreshesInARow) {
    if (lightNeedsPermission &&
        (status.isError() || status.kind() == LightStatus::Case::noDevices)) {
        return Attention::noPermission;
    }
    if (!status.isError()) {
        return Attention::none;
    }
    switch (failureKind(status.message())) {
        case FailureKind::noTool:
        case FailureKind::shippedToolMissing:
            return Attention::noTool;
        case FailureKind::toolNotExecutable:
        case FailureKind::toolCannotStart:
            return Attention::toolCannotStart;
        default:
            break;
    }
    return failedRefreshesInARow >= failuresBeforeAttention ? Attention::lightFailing
                                                            : Attention::none;
}
