#pragma once

#include "TestSupport.h"

namespace settingstest {

// Now in tests/support; kept under this name for the tests that still use it.
using testsupport::ScopedEnv;

}  // namespace settingstest
