#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The fault-injection settings: LITRA_SIM_* environment variables, overridden by KEY=VALUE
// lines of the file named by LITRA_SIM_FAULTS_FILE when that file exists. An empty value is
// the same as an unset one.
using FaultSettings = std::map<std::string, std::string>;

// Throws SimError when the faults file cannot be read or has a malformed line or unknown key.
FaultSettings readFaultSettings();

struct Faults {
    std::vector<std::string> only;  // empty: every command
    std::optional<int> failStatus;
    std::string failStderr;
    std::string stdoutFile;
    std::int64_t delayMs = 0;
    bool hang = false;
    int killSignal = 0;

    // Throws SimError naming the key of a value that is not valid.
    static Faults from(const FaultSettings& settings);
    bool appliesTo(const std::string& command) const;
};

// The names and meaning of the keys, for --help.
extern const char* const kFaultHelp;
