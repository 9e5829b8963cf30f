#pragma once

#include <string>
#include <vector>

// The floor for one run of a tool: posix_spawn with both outputs on pipes, read them to their
// end, wait for the exit status. Nothing else, no threads. Returns the exit status; throws
// std::runtime_error when the tool cannot be started.
// With `output`, what the tool wrote on its standard output is kept there.
int bareSpawn(const std::string& program, const std::vector<std::string>& arguments,
              std::string* output = nullptr);
