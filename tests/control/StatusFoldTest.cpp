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

}  // namespace
