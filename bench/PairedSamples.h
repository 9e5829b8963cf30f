#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <vector>

// Glowdeck's way and the floor, timed side by side: one pair per benchmark iteration, the two
// taken in alternating order so that neither always runs on a warmer machine. Besides the wall
// time it keeps the CPU time of this process (all its threads, children excluded), which shows
// our own share without the child's.
class PairedSamples {
public:
    // Runs `ours` and `floor` once each, in the order the iteration count says, and keeps both
    // times. Returns Glowdeck's time in seconds (for State::SetIterationTime).
    template <typename Ours, typename Floor>
    double measure(Ours&& ours, Floor&& floor) {
        Sample oursSample;
        Sample floorSample;
        if (ours_.size() % 2 == 0) {
            oursSample = timed(ours);
            floorSample = timed(floor);
        } else {
            floorSample = timed(floor);
            oursSample = timed(ours);
        }
        ours_.push_back(oursSample);
        floor_.push_back(floorSample);
        return oursSample.wall;
    }

    // Counters: glowdeck_us and floor_us (median wall times) and their difference added_us;
    // ratio (median of the per-pair ratios) with its quartiles ratio_p25 and ratio_p75;
    // fast_ratio (the two tenth percentiles of the wall times, which a busy machine disturbs
    // least); glowdeck_cpu_us and floor_cpu_us (median CPU times of this process). With
    // GLOWDECK_BENCH_SAMPLES naming a file, every pair is appended to it: name, the two wall
    // times, the two CPU times.
    void report(benchmark::State& state, const char* name) const;

private:
    struct Sample {
        double wall = 0;
        double cpu = 0;
    };

    static double processCpuSeconds() {
        timespec now{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }

    template <typename F>
    static Sample timed(F& f) {
        const double cpuStart = processCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        f();
        const auto end = std::chrono::steady_clock::now();
        return {std::chrono::duration<double>(end - start).count(), processCpuSeconds() - cpuStart};
    }

    std::vector<Sample> ours_;
    std::vector<Sample> floor_;
};
