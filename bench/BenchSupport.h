#pragma once

#include "Await.h"

#include <exception>
#include <string>

// The light simulator beside the benchmark (bin/resources/litra), as Glowdeck finds it.
std::string simulatorPath();

// The readable message of a caught exception, for SkipWithError.
std::string describe(const std::exception_ptr& error);
