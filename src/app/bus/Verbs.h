#pragma once

#include "CommandLine.h"

// Carries out a verb from the command line (any but preferences) in a QCoreApplication: through
// the running Glowdeck on the session bus, or, with none running, by running litra itself with
// the same controller. Prints what there is to print; returns the exit status (0 done, 1 failed).
int runVerb(const Invocation& invocation);
