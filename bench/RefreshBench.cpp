// A whole refresh (one device query, state update, icon update) against a bare run of the
// same device query. Runs AppDelegate::refresh() with the real controller and the real tray
// icon, so the benchmark needs a system tray (scripts/run-bench provides one).

#include "AppDelegate.h"
#include "BareSpawn.h"
#include "BenchSupport.h"
#include "LitraController.h"
#include "PairedSamples.h"
#include "TrayStatusIcon.h"

#include <QApplication>
#include <QEventLoop>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

enum class Lights { unchanged, switched };

constexpr int warmUpRuns = 10;

// Launches the delegate as main() does and waits for its first refresh. The poll interval of a
// day keeps the polling loop out of the way, so that only the benchmark refreshes.
void launch(AppDelegate& delegate) {
    QEventLoop loop;
    QObject::connect(&delegate, &AppDelegate::refreshFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    delegate.setUp();
    loop.exec();
}

// `switched` toggles the lights before every refresh (not timed), so that every refresh
// brings a new status and the icon is drawn anew; `unchanged` is the usual poll.
void BM_Refresh(benchmark::State& state, Lights lights) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        state.SkipWithError("no system tray on this display; run it through scripts/run-bench");
        return;
    }
    const std::vector<std::string> query{"devices", "--json"};
    try {
        const std::string simulator = simulatorPath();
        QSettings(QStringLiteral("Glowdeck"), QStringLiteral("Glowdeck"))
            .setValue(QLatin1String(AppState::pollIntervalKey), 86400.0);
        AppDelegate delegate(
            [&] { return std::make_shared<LitraController>(QString::fromStdString(simulator)); },
            [] { return std::make_unique<TrayStatusIcon>(); });
        launch(delegate);
        auto ours = [&] {
            awaitTask(delegate.refresh());
            // The icon is painted from the event loop; take that in.
            QCoreApplication::processEvents();
        };
        auto floor = [&] {
            if (bareSpawn(simulator, query) != 0) {
                throw std::runtime_error("the simulator failed");
            }
        };
        auto switchLights = [&] {
            if (lights == Lights::switched && bareSpawn(simulator, {"toggle"}) != 0) {
                throw std::runtime_error("the simulator failed to toggle");
            }
        };
        for (int i = 0; i < warmUpRuns; ++i) {
            switchLights();
            ours();
            floor();
        }
        PairedSamples samples;
        for (auto _ : state) {
            switchLights();
            state.SetIterationTime(samples.measure(ours, floor));
        }
        samples.report(state, lights == Lights::unchanged ? "refresh" : "refresh-switched");
    } catch (...) {
        state.SkipWithError(describe(std::current_exception()).c_str());
    }
}

}  // namespace

BENCHMARK_CAPTURE(BM_Refresh, unchanged, Lights::unchanged)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200);
BENCHMARK_CAPTURE(BM_Refresh, switched, Lights::switched)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200);
