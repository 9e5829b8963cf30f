#pragma once

#include "LightStore.h"

#include <cstdint>
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
    enum class Kind { devices, toggle, brightness, temperature };
    Kind kind;
    std::int64_t value = 0;  // the percentage or the kelvin value
};

// Checks the whole argument vector (without the program name); throws SimError on any
// missing, malformed, out-of-range or surplus argument.
Command parseCommand(const std::vector<std::string>& args);

// The device report for the lights: the nine keys in order, each with the value the state holds
// or null, followed by any other members a light carries.
Json deviceReport(const Json& lights);

// The changing commands, applied to the "lights" array in place; throw SimError when the command
// cannot be carried out, leaving `lights` as it was.
void toggleLights(Json& lights);
void setBrightness(Json& lights, std::int64_t percentage);
void setTemperature(Json& lights, std::int64_t kelvin);
