#include "LitraController.h"

#include <gtest/gtest.h>

namespace {

TEST(StatusFold, FoldsKnownStatesInTheWrittenOrder) {
    const std::pair<std::vector<std::optional<bool>>, LightStatus> cases[] = {
        {{}, LightStatus::noDevices()},
        {{true, true}, LightStatus::allOn()},
        {{false}, LightStatus::allOff()},
        {{true, false}, LightStatus::mixed()},
        {{true, std::nullopt}, LightStatus::allOn()},
        {{std::nullopt, false}, LightStatus::allOff()},
        {{std::nullopt, std::nullopt}, LightStatus::error(QStringLiteral("device state unknown"))},
    };
    for (const auto& [states, expected] : cases) {
        std::vector<LitraDevice> devices(states.size());
        for (std::size_t i = 0; i < states.size(); ++i) {
            devices[i].is_on = states[i];
        }
        EXPECT_EQ(LitraController::foldStatus(devices), expected)
            << "case " << &states - &cases[0].first;
    }
}

TEST(CommandArguments, ClampBrightnessAndTruncateTemperature) {
    for (auto [value, sent] : {std::pair{0, "1"}, {-20, "1"}, {55, "55"}, {250, "100"}}) {
        EXPECT_EQ(LitraController::brightnessArguments(value),
                  (QStringList{"brightness", "--percentage", sent}));
    }
    for (auto [value, sent] :
         {std::pair{2750, "2700"}, {6599, "6500"}, {99, "0"}, {-150, "-100"}}) {
        EXPECT_EQ(LitraController::temperatureArguments(value),
                  (QStringList{"temperature", "--value", sent}));
    }
}

}  // namespace
