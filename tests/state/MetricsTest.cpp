#include "AppState.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

struct Light {
    std::optional<qint64> brightness = {}, maxBrightness = {}, temperature = {}, minTemperature = {},
                          maxTemperature = {};
};

std::vector<LitraDevice> lights(std::initializer_list<Light> rows) {
    std::vector<LitraDevice> devices;
    for (const Light& s : rows) {
        LitraDevice d;
        d.brightness_in_lumen = s.brightness;
        d.maximum_brightness_in_lumen = s.maxBrightness;
        d.minimum_brightness_in_lumen = 999;  // plays no part
        d.temperature_in_kelvin = s.temperature;
        d.minimum_temperature_in_kelvin = s.minTemperature;
        d.maximum_temperature_in_kelvin = s.maxTemperature;
        devices.push_back(d);
    }
    return devices;
}

constexpr auto none = std::nullopt;
const TemperatureRange initialRange{2700.0, 6500.0};

struct MetricsCase {
    const char* name;
    std::vector<LitraDevice> devices;
    std::optional<double> brightness;
    std::optional<double> temperature;
    TemperatureRange range;
};

class Metrics : public testing::TestWithParam<MetricsCase> {};

TEST_P(Metrics, DerivesMeansAndTheCommonRange) {
    AppState state;
    state.setBrightnessPercentage(12.0);
    state.setTemperatureKelvin(3456.0);
    state.updateMetrics(GetParam().devices);
    EXPECT_EQ(state.brightnessPercentage(), GetParam().brightness);
    if (GetParam().temperature) {
        ASSERT_TRUE(state.temperatureKelvin());
        EXPECT_DOUBLE_EQ(*state.temperatureKelvin(), *GetParam().temperature);
    } else {
        EXPECT_FALSE(state.temperatureKelvin());
    }
    EXPECT_EQ(state.temperatureRange(), GetParam().range);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, Metrics,
    testing::Values(
        MetricsCase{"Empty", {}, none, none, initialRange},
        MetricsCase{"OneLight", lights({{100, 250}}), 40.0, none, initialRange},
        MetricsCase{"TwoLights", lights({{100, 250}, {250, 250}}), 70.0, none, initialRange},
        MetricsCase{"AboveMaximum", lights({{300, 250}}), 120.0, none, initialRange},
        MetricsCase{"SkipsZeroOrMissingMaximum",
                    lights({{100, 0}, {100, none}, {none, 250}, {50, 100}}), 50.0, none, initialRange},
        MetricsCase{"NoQualifyingBrightness", lights({{100, 0}}), none, none, initialRange},
        MetricsCase{"TemperatureMean", lights({{none, none, 2700}, {none, none, 6500}}), none,
                    4600.0, initialRange},
        MetricsCase{"TemperatureNotRounded",
                    lights({{none, none, 3000}, {none, none, 3001}, {none, none, 3001}}), none,
                    9002.0 / 3.0, initialRange},
        MetricsCase{"CommonRange",
                    lights({{none, none, none, 2700, 6500}, {none, none, none, 3000, 6000}}), none,
                    none, {3000.0, 6000.0}},
        MetricsCase{"SinglePointKeepsRange",
                    lights({{none, none, none, 2700, 4000}, {none, none, none, 4000, 6500}}), none,
                    none, initialRange},
        MetricsCase{"DisjointKeepsRange",
                    lights({{none, none, none, 2700, 3000}, {none, none, none, 4000, 6500}}), none,
                    none, initialRange},
        MetricsCase{"OneReportingLight",
                    lights({{none, none, none, 3100, 5900}, {none, none, none, none, none}}), none,
                    none, {3100.0, 5900.0}},
        MetricsCase{"MinimumAndMaximumFromDifferentLights",
                    lights({{none, none, none, 2900, none}, {none, none, none, none, 6100}}), none,
                    none, {2900.0, 6100.0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Metrics, EmptyListKeepsARangeLearnedEarlier) {
    AppState state;
    state.updateMetrics(lights({{none, none, none, 3000, 6000}}));
    state.updateMetrics({});
    EXPECT_EQ(state.temperatureRange(), (TemperatureRange{3000.0, 6000.0}));
}

TEST(Metrics, NotifiesOncePerAssignmentEvenWhenUnchanged) {
    AppState state;
    QSignalSpy changes(&state, &AppState::changed);
    auto devices = lights({{100, 250, 4000, 2700, 6500}});
    state.updateMetrics(devices);  // brightness, temperature, range
    state.updateMetrics(devices);
    state.updateMetrics({});  // brightness, temperature
    state.updateMetrics(lights({{100, 250, 4000, 4000, 4000}}));  // single point: no range
    EXPECT_EQ(changes.count(), 3 + 3 + 2 + 2);
}

TEST(DisplayText, EveryStatusHasItsText) {
    const std::pair<LightStatus, QString> cases[] = {
        {LightStatus::allOn(), "All lights: On"},
        {LightStatus::allOff(), "All lights: Off"},
        {LightStatus::mixed(), "Lights: Mixed"},
        {LightStatus::noDevices(), "No Litra devices found"},
        {LightStatus::error("device state unknown"), "Error: device state unknown"},
        {LightStatus::error(""), "Error: "},
    };
    for (const auto& [status, text] : cases) {
        EXPECT_EQ(displayText(status), text);
    }
    EXPECT_NE(LightStatus::error("a"), LightStatus::error("b"));
    EXPECT_EQ(LightStatus::error("a"), LightStatus::error("a"));
}

}  // namespace
