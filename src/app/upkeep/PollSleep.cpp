#include "PollSleep.h"

#include "AppState.h"

#include <QElapsedTimer>

#include <algorithm>
#include <utility>

namespace {

constexpr std::chrono::milliseconds longestSlice = std::chrono::hours(24);

}  // namespace

PollDuration pollSleepDuration(double seconds) {
    const double usable =
        isUsablePollInterval(seconds) ? seconds : AppState::defaultPollIntervalSeconds;
    return std::max(PollDuration(static_cast<std::uint64_t>(usable * 1e9)), minimumPollSleep);
}

std::chrono::milliseconds sleepSlice(PollDuration remaining) {
    constexpr std::uint64_t nsPerMs = 1'000'000;
    const std::uint64_t ms = remaining.count() / nsPerMs + (remaining.count() % nsPerMs ? 1 : 0);
    return std::chrono::milliseconds(
        std::min<std::uint64_t>(ms, static_cast<std::uint64_t>(longestSlice.count())));
}

PollCancellation::PollCancellation() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { wake(); });
}

void PollCancellation::cancel() {
    cancelled_ = true;
    timer_.stop();
    wake();
}

void PollCancellation::wake() {
    if (auto sleeper = std::exchange(sleeper_, {})) {
        sleeper.resume();
    }
}

void PollCancellation::SliceAwaiter::await_suspend(std::coroutine_handle<> sleeper) {
    owner.sleeper_ = sleeper;
    owner.timer_.start(slice);
}

QCoro::Task<> PollCancellation::sleep(PollDuration duration) {
    QElapsedTimer clock;
    clock.start();
    while (!cancelled_) {
        const PollDuration elapsed(
            static_cast<std::uint64_t>(std::max<qint64>(clock.nsecsElapsed(), 0)));
        if (elapsed >= duration) {
            break;
        }
        co_await SliceAwaiter{*this, sleepSlice(duration - elapsed)};
    }
}
