#pragma once

#include "LightStatus.h"

// A state the user has to do something about, which Glowdeck tells once as it begins.
enum class Attention { none, noTool, toolCannotStart, noPermission, lightFailing };

// A failure of the lights themselves needs the user only once it has outlasted this many
// refreshes in a row; a single one may pass by itself.
constexpr int failuresBeforeAttention = 3;

Attention attentionFor(const LightStatus& status, bool lightNeedsPermission,
                       int failedRefreshesInARow);
