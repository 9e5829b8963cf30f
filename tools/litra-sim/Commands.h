#pragma once

#include "LightStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The report's keys, in the order every report object carries them.
inline constexpr const char* kReportKeys[] = {
    "serial_number",
    "device_type",
    "is_on",
    "brightness_in_lumen",
    "temperature_in_kelvin",
    "minimum_brightness_in_lumen",
    "maximum_brightness_in_lumen",
    "minimum_temperature_in_kelvin",
    "maximum_temperature_in_kelvin",
};

struct Command {
    enum class Kind { devices, toggle, on, off, brightness, temperature };
    Kind kind;
    std::int64_t value = 0;             // the percentage or the kelvin value
    std::optional<std::string> serial;  // --serial-number: that light alone
};

// Checks the whole argument vector (without the program name); throws SimError on any
// missing, malformed, out-of-range or surplus argument.
Command parseCommand(const std::vector<std::string>& args);

// The device report for the lights: the nine keys in order, each with the value the state holds
// or null, followed by any other members a light carries.
Json deviceReport(const Json& lights);

// The lights a command addresses: every light, or those with the serial number; throws SimError
// when no light has it.
std::vector<Json*> selectLights(Json& lights, const std::optional<std::string>& serial);

// The changing commands, applied to the selected lights in place; throw SimError when the
// command cannot be carried out, leaving the lights as they were.
void toggleLights(const std::vector<Json*>& lights);
void switchLights(const std::vector<Json*>& lights, bool on);
void setBrightness(const std::vector<Json*>& lights, std::int64_t percentage);
void setTemperature(const std::vector<Json*>& lights, std::int64_t kelvin);
