// What the controller's design costs by itself: a job handed to a one-thread pool that only
// waits as long as a child run takes, its end coming back through the GUI thread's event loop,
// against the same wait on the GUI thread. The difference is two thread wake-ups, which every
// controller operation pays on top of its child.

#include "PairedSamples.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThreadPool>

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

namespace {

void BM_HandOff(benchmark::State& state) {
    const std::chrono::microseconds childRun(state.range(0));
    QThreadPool pool;
    pool.setMaxThreadCount(1);
    pool.setExpiryTimeout(-1);
    QObject home;
    auto ours = [&] {
        QEventLoop loop;
        pool.start([&] {
            std::this_thread::sleep_for(childRun);
            QMetaObject::invokeMethod(
                &home, [&loop] { loop.quit(); }, Qt::QueuedConnection);
        });
        loop.exec();
    };
    auto floor = [&] { std::this_thread::sleep_for(childRun); };
    PairedSamples samples;
    for (auto _ : state) {
        state.SetIterationTime(samples.measure(ours, floor));
    }
    samples.report(state, "hand-off");
}

}  // namespace

BENCHMARK(BM_HandOff)
    ->ArgName("wait_us")
    ->Arg(3500)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(300);
