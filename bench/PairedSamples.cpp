#include "PairedSamples.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// The value below which the fraction q of the samples lie (nearest rank).
double quantile(std::vector<double> values, double q) {
    if (values.empty()) {
        return 0;
    }
    const auto rank = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(rank),
                     values.end());
    return values[rank];
}

}  // namespace

void PairedSamples::report(benchmark::State& state, const char* name) const {
    std::vector<double> oursWall, floorWall, oursCpu, floorCpu, ratios;
    for (std::size_t i = 0; i < ours_.size(); ++i) {
        oursWall.push_back(ours_[i].wall);
        floorWall.push_back(floor_[i].wall);
        oursCpu.push_back(ours_[i].cpu);
        floorCpu.push_back(floor_[i].cpu);
        ratios.push_back(ours_[i].wall / floor_[i].wall);
    }
    state.counters["glowdeck_us"] = quantile(oursWall, 0.5) * 1e6;
    state.counters["floor_us"] = quantile(floorWall, 0.5) * 1e6;
    state.counters["added_us"] = (quantile(oursWall, 0.5) - quantile(floorWall, 0.5)) * 1e6;
    state.counters["ratio"] = quantile(ratios, 0.5);
    state.counters["ratio_p25"] = quantile(ratios, 0.25);
    state.counters["ratio_p75"] = quantile(ratios, 0.75);
    state.counters["fast_ratio"] = quantile(oursWall, 0.1) / quantile(floorWall, 0.1);
    state.counters["glowdeck_cpu_us"] = quantile(oursCpu, 0.5) * 1e6;
    state.counters["floor_cpu_us"] = quantile(floorCpu, 0.5) * 1e6;

    if (const char* path = std::getenv("GLOWDECK_BENCH_SAMPLES")) {
        if (FILE* file = std::fopen(path, "a")) {
            for (std::size_t i = 0; i < ours_.size(); ++i) {
                std::fprintf(file, "%s %.9f %.9f %.9f %.9f\n", name, ours_[i].wall, floor_[i].wall,
                             ours_[i].cpu, floor_[i].cpu);
            }
            std::fclose(file);
        }
    }
}
