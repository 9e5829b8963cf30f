// glowdeck-bare-poller SECONDS PROGRAM [ARGUMENT...]: the floor of an idle poll. Every SECONDS
// it runs the program the bare way (BareSpawn.h), decodes what it printed with Glowdeck's own
// device report decoder and compares the lights with the last ones, and nothing else: no event
// loop, no threads. The harness runs it beside Glowdeck on the same interval.

#include "../BareSpawn.h"
#include "DeviceReport.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: glowdeck-bare-poller SECONDS PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    const double seconds = std::atof(argv[1]);
    const std::string program = argv[2];
    const std::vector<std::string> arguments(argv + 3, argv + argc);
    const auto interval = static_cast<long long>(seconds * 1e9);
    if (interval <= 0) {
        std::fputs("glowdeck-bare-poller: SECONDS must be above 0\n", stderr);
        return 2;
    }
    std::string output;
    std::vector<LitraDevice> last;
    long long changes = 0;
    timespec next{};
    ::clock_gettime(CLOCK_MONOTONIC, &next);
    try {
        while (true) {
            bareSpawn(program, arguments, &output);
            std::vector<LitraDevice> lights;
            try {
                lights = decodeDeviceReport(QByteArrayView(output.data(), qsizetype(output.size())));
            } catch (const ReportDecodeError&) {
                lights.clear();
            }
            if (lights != last) {
                last = std::move(lights);
                ++changes;  // where Glowdeck would redraw
            }
            const long long at = next.tv_sec * 1'000'000'000LL + next.tv_nsec + interval;
            next.tv_sec = at / 1'000'000'000LL;
            next.tv_nsec = at % 1'000'000'000LL;
            while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) != 0) {
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "glowdeck-bare-poller: %s\n", error.what());
        return 1;
    }
}
