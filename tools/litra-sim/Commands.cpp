#include "Commands.h"

#include "Support.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>

namespace {

// Plain decimal with an optional leading "-"; anything else (including "+5" and "") is refused.
std::optional<std::int64_t> parseInteger(const std::string& text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end)
        return std::nullopt;
    return value;
}

SimError usage(const std::string& message) {
    return SimError(kExitUsage, message);
}

std::string shown(const std::string& text) {
    return text.empty() ? "an empty value" : text;
}

// The options after the command name, each "--name VALUE" at most once and in any order; only
// the names in `allowed` are taken.
std::map<std::string, std::string> options(const std::vector<std::string>& args,
                                           std::initializer_list<std::string> allowed) {
    std::map<std::string, std::string> values;
    for (std::size_t i = 1; i < args.size(); i += 2) {
        const std::string& name = args[i];
        if (std::find(allowed.begin(), allowed.end(), name) == allowed.end())
            throw usage("unexpected argument \"" + name + "\" after " + args[0]);
        if (i + 1 == args.size())
            throw usage(args[0] + " " + name + " needs a value");
        if (!values.emplace(name, args[i + 1]).second)
            throw usage(args[0] + " takes " + name + " once");
    }
    return values;
}

std::string required(const std::map<std::string, std::string>& values, const std::string& command,
                     const std::string& option) {
    const auto it = values.find(option);
    if (it == values.end())
        throw usage(command + " needs " + option + " followed by a number");
    return it->second;
}

std::optional<std::string> serialOption(const std::map<std::string, std::string>& values) {
    const auto it = values.find("--serial-number");
    if (it == values.end())
        return std::nullopt;
    if (it->second.empty())
        throw usage("--serial-number needs a serial number, got an empty value");
    return it->second;
}

std::optional<std::int64_t> integerField(const Json& light, const char* key) {
    const auto it = light.find(key);
    if (it == light.end() || !it->is_number_integer())
        return std::nullopt;
    if (it->is_number_unsigned() && it->get<std::uint64_t>() > INT64_MAX)
        return std::nullopt;
    return it->get<std::int64_t>();
}

}  // namespace

Command parseCommand(const std::vector<std::string>& args) {
    if (args.empty())
        throw usage("missing command; run \"litra --help\" for usage");
    const std::string& name = args[0];
    if (name == "devices") {
        if (args.size() < 2 || args[1] != "--json")
            throw usage("devices needs --json (the only output format)");
        if (args.size() > 2)
            throw usage("unexpected argument \"" + args[2] + "\" after devices --json");
        return {Command::Kind::devices, 0, std::nullopt};
    }
    const std::string serial = "--serial-number";
    for (const auto& [word, kind] : {std::pair{"toggle", Command::Kind::toggle},
                                     std::pair{"on", Command::Kind::on},
                                     std::pair{"off", Command::Kind::off}}) {
        if (name == word)
            return {kind, 0, serialOption(options(args, {serial}))};
    }
    if (name == "brightness") {
        const auto values = options(args, {"--percentage", serial});
        const std::string text = required(values, name, "--percentage");
        const auto percentage = parseInteger(text);
        if (!percentage || *percentage < 1 || *percentage > 100)
            throw usage("brightness percentage must be an integer from 1 to 100, got " +
                        shown(text));
        return {Command::Kind::brightness, *percentage, serialOption(values)};
    }
    if (name == "temperature") {
        const auto values = options(args, {"--value", serial});
        const std::string text = required(values, name, "--value");
        const auto kelvin = parseInteger(text);
        if (!kelvin)
            throw usage("temperature must be an integer in kelvin, got " + shown(text));
        if (*kelvin % 100 != 0)
            throw usage("temperature must be a multiple of 100 kelvin, got " + text);
        return {Command::Kind::temperature, *kelvin, serialOption(values)};
    }
    throw usage("unknown command \"" + name +
                "\"; expected devices, toggle, on, off, brightness or temperature");
}

Json deviceReport(const Json& lights) {
    Json report = Json::array();
    for (const auto& light : lights) {
        Json entry = Json::object();
        for (const char* key : kReportKeys)
            entry[key] = light.contains(key) ? light.at(key) : Json(nullptr);
        for (const auto& [key, value] : light.items())
            if (!entry.contains(key))
                entry[key] = value;
        report.push_back(std::move(entry));
    }
    return report;
}

std::vector<Json*> selectLights(Json& lights, const std::optional<std::string>& serial) {
    std::vector<Json*> selected;
    for (auto& light : lights) {
        const auto it = light.find("serial_number");
        if (!serial || (it != light.end() && it->is_string() && *it == *serial))
            selected.push_back(&light);
    }
    if (serial && selected.empty())
        throw SimError(kExitFailure, "no light with serial number \"" + *serial + "\" is connected");
    return selected;
}

void toggleLights(const std::vector<Json*>& lights) {
    const auto isOn = [](const Json* light) {
        const auto it = light->find("is_on");
        return it != light->end() && *it == true;
    };
    switchLights(lights, !std::any_of(lights.begin(), lights.end(), isOn));
}

void switchLights(const std::vector<Json*>& lights, bool on) {
    for (Json* light : lights)
        (*light)["is_on"] = on;
}

void setBrightness(const std::vector<Json*>& lights, std::int64_t percentage) {
    for (Json* pointer : lights) {
        Json& light = *pointer;
        const auto maximum = integerField(light, "maximum_brightness_in_lumen");
        if (!maximum)
            continue;  // cannot scale without a maximum
        auto lumen =
            std::llround(static_cast<double>(percentage) * static_cast<double>(*maximum) / 100.0);
        if (const auto minimum = integerField(light, "minimum_brightness_in_lumen"))
            lumen = std::max<std::int64_t>(lumen, *minimum);
        light["brightness_in_lumen"] = lumen;
    }
}

void setTemperature(const std::vector<Json*>& lights, std::int64_t kelvin) {
    std::string ranges;
    bool anySet = false;
    for (Json* pointer : lights) {
        Json& light = *pointer;
        const auto minimum = integerField(light, "minimum_temperature_in_kelvin");
        const auto maximum = integerField(light, "maximum_temperature_in_kelvin");
        if (!minimum || !maximum)
            continue;
        ranges += (ranges.empty() ? "" : ", ") + std::to_string(*minimum) + "-" +
                  std::to_string(*maximum) + " K";
        if (kelvin >= *minimum && kelvin <= *maximum) {
            light["temperature_in_kelvin"] = kelvin;
            anySet = true;
        }
    }
    if (!anySet)
        throw SimError(kExitFailure, "no light supports " + std::to_string(kelvin) + " K (" +
                                         (ranges.empty() ? std::string("no light reports a range")
                                                         : "ranges: " + ranges) +
                                         ")");
}
