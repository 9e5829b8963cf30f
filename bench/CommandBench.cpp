// One controller operation against a bare posix_spawn + wait of the same simulator command.

#include "BareSpawn.h"
#include "BenchSupport.h"
#include "LitraController.h"
#include "PairedSamples.h"

#include <benchmark/benchmark.h>

namespace {

enum class Operation { devices, toggle };

constexpr int warmUpRuns = 10;

void BM_Command(benchmark::State& state, Operation operation) {
    const std::vector<std::string> bareArguments =
        operation == Operation::devices ? std::vector<std::string>{"devices", "--json"}
                                        : std::vector<std::string>{"toggle"};
    try {
        const std::string simulator = simulatorPath();
        LitraController controller(QString::fromStdString(simulator));
        auto ours = [&] {
            if (operation == Operation::devices) {
                awaitTask(controller.devices());
            } else {
                awaitTask(controller.toggle());
            }
        };
        auto floor = [&] {
            if (bareSpawn(simulator, bareArguments) != 0) {
                throw std::runtime_error("the simulator failed");
            }
        };
        for (int i = 0; i < warmUpRuns; ++i) {
            ours();
            floor();
        }
        PairedSamples samples;
        for (auto _ : state) {
            state.SetIterationTime(samples.measure(ours, floor));
        }
        samples.report(state, operation == Operation::devices ? "devices" : "toggle");
    } catch (...) {
        state.SkipWithError(describe(std::current_exception()).c_str());
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_Command, devices, Operation::devices)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(300);
BENCHMARK_CAPTURE(BM_Command, toggle, Operation::toggle)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(300);
