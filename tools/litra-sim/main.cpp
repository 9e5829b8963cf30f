// The light simulator: a stand-in for the litra tool that keeps its lights in a state file and
// can be told to misbehave, so that Glowdeck runs and is tested without any hardware.

#include "Commands.h"
#include "Faults.h"
#include "LightStore.h"
#include "Support.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

const char* const kUsage = R"(Usage: litra COMMAND
Simulated desk lights, kept in a state file.

Commands:
  devices --json               print the lights as a JSON array
  toggle                       switch every light off if any is on, else every light on
  on, off                      switch every light on, or off
  brightness --percentage N    set every light to N per cent (1-100) of its maximum brightness
  temperature --value K        set every light whose range holds K (a multiple of 100) to K;
                               fails when no light's range holds it
  --help                       print this text
  --version                    print one line that names the simulator and its version

Every command but devices takes --serial-number SERIAL, anywhere after its name: it then acts
on that light alone, and fails when no light has that serial number.

State file: $LITRA_SIM_STATE, else $XDG_STATE_HOME/glowdeck/simulated-lights.json, where
XDG_STATE_HOME defaults to ~/.local/state. It holds {"lights": [...]}, one object per light
with the keys of the device report, and is created with two lights when missing.

Exit status: 0 on success; 1 when the command cannot be carried out; 2 for bad arguments or
fault settings. On failure the reason is one line on standard error and nothing is changed.

)";

std::int64_t monotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// One line per run, written with a single write() on an O_APPEND descriptor at its very end, so
// that the lines of runs that overlapped show overlapping intervals.
class RunLog {
public:
    explicit RunLog(const std::vector<std::string>& args) : startNs_(monotonicNs()) {
        for (const auto& arg : args) {
            arguments_ += ' ';
            for (const char c : arg)
                arguments_ += c == '\n' ? std::string("\\n") : std::string(1, c);
        }
    }
    ~RunLog() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    bool isOpen() const { return fd_ >= 0; }

    // Opened up front, so that a log that cannot be written stops the run before it changes
    // anything.
    void open(const std::string& path) {
        if (path.empty())
            return;
        fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0)
            throw SimError(kExitUsage, "cannot open log " + path + ": " + errnoText(errno));
    }

    int finish(int status) {
        if (fd_ < 0)
            return status;
        const std::string line = std::to_string(::getpid()) + ' ' + std::to_string(startNs_) + ' ' +
                                 std::to_string(monotonicNs()) + arguments_ + '\n';
        if (::write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            writeAll(STDERR_FILENO, "cannot append to the log: " + errnoText(errno) + "\n");
        return status;
    }

private:
    std::int64_t startNs_;
    std::string arguments_;
    int fd_ = -1;
};

void sleepMs(std::int64_t ms) {
    timespec left{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

// A signal ignored or blocked by our parent stays so across exec; the faults must still end us.
void restoreDefault(int signal) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    std::signal(signal, SIG_DFL);
}

// The exit status when a fault takes the place of the command.
std::optional<int> injectFaults(const Faults& faults) {
    if (faults.delayMs > 0)
        sleepMs(faults.delayMs);
    if (faults.hang) {
        for (const int signal : {SIGTERM, SIGINT, SIGHUP})
            restoreDefault(signal);
        for (;;)
            ::pause();
    }
    if (faults.killSignal != 0) {
        restoreDefault(faults.killSignal);
        std::raise(faults.killSignal);
        throw SimError(kExitFailure, "signal " + std::to_string(faults.killSignal) +
                                         " did not end the simulator");
    }
    if (!faults.stdoutFile.empty()) {
        int error = 0;
        const auto bytes = readWholeFile(faults.stdoutFile.c_str(), error);
        if (!bytes)
            throw SimError(kExitUsage, "cannot read LITRA_SIM_STDOUT_FILE " + faults.stdoutFile +
                                           ": " + errnoText(error));
        writeAll(STDOUT_FILENO, *bytes);
    }
    if (faults.failStatus) {
        writeAll(STDERR_FILENO, faults.failStderr);
        return faults.failStatus;
    }
    if (!faults.stdoutFile.empty())
        return 0;
    return std::nullopt;
}

int runCommand(const std::vector<std::string>& args) {
    const Command command = parseCommand(args);
    const bool reads = command.kind == Command::Kind::devices;
    LightStore store(stateFilePath(), reads ? LightStore::Access::read : LightStore::Access::write);
    Json document = store.load();
    const Json before = document;
    if (reads) {
        if (!writeAll(STDOUT_FILENO, deviceReport(document["lights"]).dump(2) + "\n"))
            throw SimError(kExitFailure, "cannot write the report: " + errnoText(errno));
        return 0;
    }
    const std::vector<Json*> lights = selectLights(document["lights"], command.serial);
    switch (command.kind) {
        case Command::Kind::devices:
            break;
        case Command::Kind::toggle:
            toggleLights(lights);
            break;
        case Command::Kind::on:
        case Command::Kind::off:
            switchLights(lights, command.kind == Command::Kind::on);
            break;
        case Command::Kind::brightness:
            setBrightness(lights, command.value);
            break;
        case Command::Kind::temperature:
            setTemperature(lights, command.value);
            break;
    }
    if (document != before)
        store.save(document);
    return 0;
}

bool wantsHelp(const std::vector<std::string>& args) {
    for (const auto& arg : args)
        if (arg == "--help" || arg == "-h")
            return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    RunLog log(args);
    try {
        const FaultSettings settings = readFaultSettings();
        if (const auto it = settings.find("LITRA_SIM_LOG"); it != settings.end())
            log.open(it->second);
        const Faults faults = Faults::from(settings);
        if (faults.appliesTo(args.empty() ? "" : args[0])) {
            if (const auto status = injectFaults(faults))
                return log.finish(*status);
        }
        if (wantsHelp(args)) {
            writeAll(STDOUT_FILENO, std::string(kUsage) + kFaultHelp);
            return log.finish(0);
        }
        if (args == std::vector<std::string>{"--version"}) {
            writeAll(STDOUT_FILENO, "litra " GLOWDECK_VERSION " (Glowdeck light simulator)\n");
            return log.finish(0);
        }
        return log.finish(runCommand(args));
    } catch (const SimError& error) {
        if (!log.isOpen()) {
            if (const char* path = std::getenv("LITRA_SIM_LOG")) {
                try {
                    log.open(path);
                } catch (const SimError&) {
                }
            }
        }
        std::string reason = error.what();
        std::replace(reason.begin(), reason.end(), '\n', ' ');  // one line, whatever it quotes
        writeAll(STDERR_FILENO, reason + "\n");
        return log.finish(error.status);
    } catch (const std::exception& error) {
        writeAll(STDERR_FILENO, std::string("litra simulator failed: ") + error.what() + "\n");
        return log.finish(kExitFailure);
    }
}
