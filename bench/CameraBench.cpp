// One camera check with 300 video nodes while another process holds 20,000 descriptors, with
// no camera held and with one held: the CPU time per check.

#include "CameraWatcher.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

namespace {

constexpr int nodes = 300;
constexpr int manyDescriptors = 20'000;

// A child that holds `count` descriptors of /dev/null and, when given, one of `held` open
// until it is killed.
pid_t holder(int count, const QByteArray& held) {
    int ready[2];
    if (::pipe(ready) != 0) {
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        rlimit limit{};
        ::getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        for (int i = 0; i < count; ++i) {
            ::open("/dev/null", O_RDONLY);
        }
        if (!held.isEmpty()) {
            ::open(held.constData(), O_RDONLY);
        }
        (void)::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char byte;
    (void)::read(ready[0], &byte, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return pid;
}

void end(pid_t pid) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

void BM_CameraCheck(benchmark::State& state) {
    const bool held = state.range(0) != 0;
    QTemporaryDir folder;
    for (int i = 0; i < nodes; ++i) {
        QFile(folder.filePath(QStringLiteral("video%1").arg(i))).open(QIODevice::WriteOnly);
    }
    const pid_t many = holder(manyDescriptors, {});
    const pid_t camera = held ? holder(0, QFile::encodeName(folder.filePath("video150"))) : -1;
    pid_t found = 0;  // looked at first, as the watcher does
    for (auto _ : state) {
        found = findCameraHolder(folder.path(), found);
    }
    state.counters["held"] = found > 0;
    end(many);
    if (camera > 0) {
        end(camera);
    }
}
BENCHMARK(BM_CameraCheck)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
