// glowdeck-spawn-floor COUNT PROGRAM [ARGUMENT...]: runs the program COUNT times the bare way
// (BareSpawn.h) and prints, one line per run, its wall time and the CPU time this process
// spent on it (children excluded), both in nanoseconds. The harness takes it right beside a
// whole-process sample to know what the child runs cost.

#include "BareSpawn.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

namespace {

long long processCpuNs() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: glowdeck-spawn-floor COUNT PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const std::string program = argv[2];
    const std::vector<std::string> arguments(argv + 3, argv + argc);
    try {
        for (int i = 0; i < count; ++i) {
            const long long cpuStart = processCpuNs();
            const auto start = std::chrono::steady_clock::now();
            const int status = bareSpawn(program, arguments);
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
            const long long cpu = processCpuNs() - cpuStart;
            if (status != 0) {
                std::fprintf(stderr, "glowdeck-spawn-floor: %s exited %d\n", program.c_str(),
                             status);
                return 1;
            }
            std::printf("%lld %lld\n", static_cast<long long>(ns), cpu);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "glowdeck-spawn-floor: %s\n", error.what());
        return 1;
    }
    return 0;
}
