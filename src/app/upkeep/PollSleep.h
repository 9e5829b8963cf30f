#pragma once

#include <QCoroTask>
#include <QTimer>

#include <chrono>
#include <coroutine>
#include <cstdint>

// A sleep length in whole nanoseconds, as an unsigned 64-bit count (up to about 584 years).
using PollDuration = std::chrono::duration<std::uint64_t, std::nano>;

// The sleep between two polls for an interval in seconds: the interval in whole nanoseconds,
// truncated toward zero. An interval that isUsablePollInterval refuses sleeps the default one
// instead, and none sleeps less than `minimumPollSleep`, so that no value turns the loop into a
// busy one.
PollDuration pollSleepDuration(double seconds);
inline constexpr PollDuration minimumPollSleep = std::chrono::milliseconds(10);

// The part of a remaining sleep that one Qt timer can wait for: whole milliseconds, rounded up
// so that a sleep never ends early, and capped at a day, far below the timer's limit.
std::chrono::milliseconds sleepSlice(PollDuration remaining);

// The polling loop's cancellation flag and its sleep. cancel() also ends a sleep in progress,
// at once: the sleeping coroutine resumes inside cancel(), so the loop can see the flag and end
// even when no event loop runs any more (during termination).
class PollCancellation {
public:
    PollCancellation();
    PollCancellation(const PollCancellation&) = delete;
    PollCancellation& operator=(const PollCancellation&) = delete;

    bool isCancelled() const { return cancelled_; }
    void cancel();

    // Returns when the duration has passed or the loop is cancelled, whichever comes first.
    QCoro::Task<> sleep(PollDuration duration);

private:
    struct SliceAwaiter {
        PollCancellation& owner;
        std::chrono::milliseconds slice;
        bool await_ready() const noexcept { return owner.cancelled_; }
        void await_suspend(std::coroutine_handle<> sleeper);
        void await_resume() const noexcept {}
    };

    void wake();

    bool cancelled_ = false;
    QTimer timer_;
    std::coroutine_handle<> sleeper_;
};
