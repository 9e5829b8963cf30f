// Decoding device reports of 1 to 256 lights (the most a report may list): the cost per light
// must stay flat.

#include "DeviceReport.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A report as the light simulator writes it: every key present, two-space indentation.
std::string reportOf(std::int64_t lights) {
    nlohmann::ordered_json report = nlohmann::ordered_json::array();
    for (std::int64_t i = 0; i < lights; ++i) {
        char serial[32];
        std::snprintf(serial, sizeof serial, "SIM-%05lld", static_cast<long long>(i + 1));
        report.push_back({
            {"serial_number", serial},
            {"device_type", i % 2 ? "Sim Bar" : "Sim Panel"},
            {"is_on", i % 3 == 0},
            {"brightness_in_lumen", 20 + i % 230},
            {"temperature_in_kelvin", 2700 + (i % 39) * 100},
            {"minimum_brightness_in_lumen", 20},
            {"maximum_brightness_in_lumen", 250},
            {"minimum_temperature_in_kelvin", 2700},
            {"maximum_temperature_in_kelvin", 6500},
        });
    }
    return report.dump(2) + "\n";
}

void BM_DecodeReport(benchmark::State& state) {
    const std::int64_t lights = state.range(0);
    const std::string report = reportOf(lights);
    for (auto _ : state) {
        auto devices = decodeDeviceReport(report);
        benchmark::DoNotOptimize(devices.data());
        if (static_cast<std::int64_t>(devices.size()) != lights) {
            state.SkipWithError("decoded the wrong number of lights");
            break;
        }
    }
    state.SetComplexityN(lights);
    state.SetItemsProcessed(state.iterations() * lights);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(report.size()));
    // Seconds per light.
    state.counters["per_light"] = benchmark::Counter(
        static_cast<double>(lights),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_DecodeReport)
    ->ArgName("lights")
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Arg(64)
    ->Arg(256)
    ->MinTime(0.3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    // The fastest repetition is the one other work on the machine disturbed least.
    ->ComputeStatistics("min",
                        [](const std::vector<double>& v) {
                            return *std::min_element(v.begin(), v.end());
                        })
    ->Complexity(benchmark::oN);
