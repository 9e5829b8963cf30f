#include "LitraController.h"

#include <gtest/gtest.h>

namespace {

LitraDevice light(std::optional<bool> on) {
    LitraDevice d;
    d.is_on = on;
    return d;
}

struct FoldCase {
    const char* name;
    std::vector<std::optional<bool>> states;
    LightStatus expected;
};

class StatusFold : public testing::TestWithParam<FoldCase> {};

TEST_P(StatusFold, FoldsKnownStatesInTheWrittenOrder) {
    std::vector<LitraDevice> devices;
    for (auto state : GetParam().states) {
        devices.push_back(light(state));
    }
    EXPECT_EQ(LitraController::foldStatus(devices), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, StatusFold,
    testing::Values(
        FoldCase{"Empty", {}, LightStatus::noDevices()},
        FoldCase{"TwoOn", {true, true}, LightStatus::allOn()},
        FoldCase{"OneOff", {false}, LightStatus::allOff()},
        FoldCase{"OnAndOff", {true, false}, LightStatus::mixed()},
        FoldCase{"OnAndUnknown", {true, std::nullopt}, LightStatus::allOn()},
        FoldCase{"OffAndUnknown", {std::nullopt, false}, LightStatus::allOff()},
        FoldCase{"OnlyUnknown", {std::nullopt, std::nullopt},
                 LightStatus::error(QStringLiteral("device state unknown"))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandArguments, ClampBrightnessAndTruncateTemperature) {
    const std::pair<qint64, const char*> brightness[] = {
        {0, "1"}, {-20, "1"}, {55, "55"}, {100, "100"}, {250, "100"}};
    for (auto [value, sent] : brightness) {
        EXPECT_EQ(LitraController::brightnessArguments(value),
                  (QStringList{"brightness", "--percentage", sent}))
            << value;
    }
    const std::pair<qint64, const char*> temperature[] = {
        {2750, "2700"}, {6599, "6500"}, {2700, "2700"}, {99, "0"}, {-150, "-100"}, {10000, "10000"}};
    for (auto [value, sent] : temperature) {
        EXPECT_EQ(LitraController::temperatureArguments(value),
                  (QStringList{"temperature", "--value", sent}))
            << value;
    }
}

}  // namespace
