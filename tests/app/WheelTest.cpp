#include "WheelSteps.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct HostCall {
    int delta;
    const char* orientation;
    bool shift;
    WheelTurn turn;
};

// Each row is a run of Scroll calls from one host, with the turn each call makes.
TEST(WheelReader, ReadsEachHostsConventionAndAddsUpPartsOfANotch) {
    const std::vector<std::pair<const char*, std::vector<HostCall>>> hosts = {
        {"Qt host: up, down two", {{120, "vertical", false, {1, false}},
                                   {-240, "Vertical", false, {-2, false}}}},
        {"Qt host: a touchpad", {{5, "Vertical", false, {0, false}}}},
        {"Qt host: right", {{-120, "Horizontal", false, {1, true}}}},
        {"Qt host: half notches", {{60, "Vertical", false, {0, false}},
                                   {60, "Vertical", false, {1, false}},
                                   {90, "Vertical", false, {0, false}},
                                   // the other way: the part turned up is dropped
                                   {-90, "Vertical", false, {0, false}},
                                   {-30, "Vertical", false, {-1, false}}}},
        {"GTK host: up, down", {{-1, "vertical", false, {1, false}},
                                {1, "vertical", false, {-1, false}}}},
        {"GTK host: right", {{1, "horizontal", false, {1, true}}}},
        {"Shift", {{120, "Vertical", true, {1, true}}, {-1, "vertical", true, {1, true}}}},
        {"wild deltas", {{1000000, "vertical", false, {20, false}},
                         {-2000000000, "Vertical", false, {-20, false}},
                         {-2147483647 - 1, "horizontal", false, {20, true}}}},
    };
    for (const auto& [host, calls] : hosts) {
        WheelReader reader;
        for (const HostCall& call : calls) {
            EXPECT_EQ(reader.fromHost(call.delta, QString::fromLatin1(call.orientation), call.shift),
                      call.turn)
                << host << ": " << call.delta << ' ' << call.orientation;
        }
    }
    WheelReader reader;
    EXPECT_EQ(reader.fromAngle({0, 120}, false), (WheelTurn{1, false}));
    EXPECT_EQ(reader.fromAngle({-120, 0}, false), (WheelTurn{1, true}));
    EXPECT_EQ(reader.fromAngle({0, -120}, true), (WheelTurn{-1, true}));
}

TEST(WheelSteps, ValuesGoToTheNextStepAndStayInRange) {
    struct Row {
        std::optional<double> from;
        int notches;
        std::optional<qint64> brightness;
    };
    for (const Row& row : std::vector<Row>{{49.0, 3, 60},
                                           {47.0, -1, 45},
                                           {50.0, 1, 55},
                                           {1.0, 1, 5},
                                           {3.0, -1, 1},
                                           {98.0, 2, 100},
                                           {std::nullopt, 1, std::nullopt}}) {
        EXPECT_EQ(brightnessAfter(row.from, row.notches), row.brightness)
            << row.from.value_or(-1) << ' ' << row.notches;
    }
    struct TemperatureRow {
        std::optional<double> from;
        int notches;
        TemperatureRange range;
        std::optional<qint64> kelvin;
    };
    for (const TemperatureRow& row : std::vector<TemperatureRow>{
             {4250.0, 2, {2700, 6500}, 4400},
             {6450.0, 3, {2700, 6500}, 6500},
             {2750.0, -1, {2700, 6500}, 2700},
             {4000.0, -20, {2750.5, 6499}, 2800},
             {4000.0, 30, {2750.5, 6499}, 6400},
             {std::nullopt, 1, {2700, 6500}, std::nullopt}}) {
        EXPECT_EQ(temperatureAfter(row.from, row.notches, row.range), row.kelvin)
            << row.from.value_or(-1) << ' ' << row.notches;
    }
}

}  // namespace
