#include "Commands.h"

#include "Support.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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

// "<command> <option> VALUE" and nothing more; returns VALUE.
std::string optionValue(const std::vector<std::string>& args, const std::string& option) {
    if (args.size() < 3 || args[1] != option)
        throw usage(args[0] + " needs " + option + " followed by a number");
    if (args.size() > 3)
        throw usage("unexpected argument \"" + args[3] + "\" after " + args[0] + " " + option);
    return args[2];
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
        return {Command::Kind::devices};
    }
    if (name == "toggle") {
        if (args.size() > 1)
            throw usage("unexpected argument \"" + args[1] + "\" after toggle");
        return {Command::Kind::toggle};
    }
    if (name == "brightness") {
        const std::string text = optionValue(args, "--percentage");
        const auto percentage = parseInteger(text);
        if (!percentage || *percentage < 1 || *percentage > 100)
            throw usage("brightness percentage must be an integer from 1 to 100, got " +
                        shown(text));
        return {Command::Kind::brightness, *percentage};
    }
    if (name == "temperature") {
        const std::string text = optionValue(args, "--value");
        const auto kelvin = parseInteger(text);
        if (!kelvin)
            throw usage("temperature must be an integer in kelvin, got " + shown(text));
        if (*kelvin % 100 != 0)
            throw usage("temperature must be a multiple of 100 kelvin, got " + text);
        return {Command::Kind::temperature, *kelvin};
    }
    throw usage("unknown command \"" + name +
                "\"; expected devices, toggle, brightness or temperature");
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

void toggleLights(Json& lights) {
    const auto isOn = [](const Json& light) {
        const auto it = light.find("is_on");
        return it != light.end() && *it == true;
    };
    const bool anyOn = std::any_of(lights.begin(), lights.end(), isOn);
    for (auto& light : lights)
        light["is_on"] = !anyOn;
}

void setBrightness(Json& lights, std::int64_t percentage) {
    for (auto& light : lights) {
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

void setTemperature(Json& lights, std::int64_t kelvin) {
    std::string ranges;
    bool anySet = false;
    for (auto& light : lights) {
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
