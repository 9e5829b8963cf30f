#include "Faults.h"

#include "Support.h"

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <sstream>

namespace {

const char* const kKeys[] = {
    "LITRA_SIM_ONLY",     "LITRA_SIM_FAIL_STATUS", "LITRA_SIM_FAIL_STDERR", "LITRA_SIM_STDOUT_FILE",
    "LITRA_SIM_DELAY_MS", "LITRA_SIM_HANG",        "LITRA_SIM_KILL_SIGNAL", "LITRA_SIM_LOG",
};

const char* const kCommands[] = {"devices", "toggle", "on", "off", "brightness", "temperature"};

bool isKey(const std::string& name) {
    return std::find(std::begin(kKeys), std::end(kKeys), name) != std::end(kKeys);
}

// In the file a value is one line, so "\n" stands for a newline and "\\" for a backslash.
std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\'))
            out += text[++i] == 'n' ? '\n' : '\\';
        else
            out += text[i];
    }
    return out;
}

std::int64_t number(const FaultSettings& settings, const char* key, std::int64_t low,
                    std::int64_t high) {
    const std::string& text = settings.at(key);
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end || value < low || value > high)
        throw SimError(kExitUsage, std::string(key) + " must be an integer from " +
                                       std::to_string(low) + " to " + std::to_string(high) +
                                       ", got \"" + text + "\"");
    return value;
}

}  // namespace

const char* const kFaultHelp = R"(Fault injection (for tests):
  LITRA_SIM_ONLY=CMD[,CMD...]  apply the faults below only to these commands
                               (devices, toggle, on, off, brightness, temperature)
  LITRA_SIM_DELAY_MS=N         sleep N milliseconds first
  LITRA_SIM_HANG=1             never end (until killed)
  LITRA_SIM_KILL_SIGNAL=N      raise signal N instead of doing the command
  LITRA_SIM_STDOUT_FILE=PATH   write that file's bytes to standard output instead of the
                               normal output; exit 0 and change nothing
  LITRA_SIM_FAIL_STATUS=N      change nothing and exit with status N (0-255)
  LITRA_SIM_FAIL_STDERR=TEXT   with LITRA_SIM_FAIL_STATUS: first write TEXT verbatim to
                               standard error
  LITRA_SIM_LOG=PATH           append "<pid> <start_ns> <end_ns> <args...>" (CLOCK_MONOTONIC)
                               to PATH at the end of every run, failed ones too; always
                               applies, but not to hanging or killed runs
  LITRA_SIM_FAULTS_FILE=PATH   when PATH exists, read the keys above from it as KEY=VALUE
                               lines; they override the environment ("\n" in a value is a
                               newline, "\\" a backslash; lines starting with # are ignored)
An empty value is the same as an unset one.
)";

FaultSettings readFaultSettings() {
    FaultSettings settings;
    for (const char* key : kKeys)
        if (const char* value = std::getenv(key))
            settings[key] = value;

    const char* filePath = std::getenv("LITRA_SIM_FAULTS_FILE");
    if (!filePath || !*filePath)
        return settings;
    int error = 0;
    const auto text = readWholeFile(filePath, error);
    if (!text) {
        if (error == ENOENT)
            return settings;
        throw SimError(kExitUsage, "cannot read faults file " + std::string(filePath) + ": " +
                                       errnoText(error));
    }
    std::istringstream file(*text);
    std::string line;
    for (int lineNumber = 1; std::getline(file, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const auto equals = line.find('=');
        const std::string key = line.substr(0, equals);
        if (equals == std::string::npos || !isKey(key))
            throw SimError(kExitUsage, "faults file " + std::string(filePath) + ", line " +
                                           std::to_string(lineNumber) +
                                           ": expected KEY=VALUE with " +
                                           "a LITRA_SIM_ key, got \"" + line + "\"");
        settings[key] = unescape(line.substr(equals + 1));
    }
    return settings;
}

Faults Faults::from(const FaultSettings& given) {
    FaultSettings settings;
    for (const auto& [key, value] : given)
        if (!value.empty())
            settings[key] = value;
    const auto has = [&](const char* key) { return settings.count(key) != 0; };

    Faults faults;
    if (has("LITRA_SIM_ONLY")) {
        const std::string& list = settings.at("LITRA_SIM_ONLY");
        for (std::size_t start = 0; start <= list.size();) {
            const auto comma = std::min(list.find(',', start), list.size());
            const std::string name = list.substr(start, comma - start);
            if (std::find(std::begin(kCommands), std::end(kCommands), name) == std::end(kCommands))
                throw SimError(kExitUsage, "LITRA_SIM_ONLY names an unknown command \"" + name +
                                               "\"; expected devices, toggle, on, off, "
                                               "brightness or temperature");
            faults.only.push_back(name);
            start = comma + 1;
        }
    }
    if (has("LITRA_SIM_FAIL_STATUS"))
        faults.failStatus = static_cast<int>(number(settings, "LITRA_SIM_FAIL_STATUS", 0, 255));
    if (has("LITRA_SIM_FAIL_STDERR"))
        faults.failStderr = settings.at("LITRA_SIM_FAIL_STDERR");
    if (has("LITRA_SIM_STDOUT_FILE"))
        faults.stdoutFile = settings.at("LITRA_SIM_STDOUT_FILE");
    if (has("LITRA_SIM_DELAY_MS"))
        faults.delayMs = number(settings, "LITRA_SIM_DELAY_MS", 0, INT32_MAX);
    if (has("LITRA_SIM_HANG"))
        faults.hang = number(settings, "LITRA_SIM_HANG", 0, 1) == 1;
    if (has("LITRA_SIM_KILL_SIGNAL"))
        faults.killSignal =
            static_cast<int>(number(settings, "LITRA_SIM_KILL_SIGNAL", 1, SIGRTMAX));
    return faults;
}

bool Faults::appliesTo(const std::string& command) const {
    return only.empty() || std::find(only.begin(), only.end(), command) != only.end();
}
