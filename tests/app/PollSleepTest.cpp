#include "AppState.h"
#include "PollSleep.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTest>

#include <limits>

using namespace std::chrono_literals;

namespace {

constexpr PollDuration longest(std::numeric_limits<std::uint64_t>::max());

TEST(PollSleep, IsTheIntervalInWholeNanosecondsButNeverBusy) {
    const auto sleep = [](double seconds) { return pollSleepDuration(seconds).count(); };
    EXPECT_EQ(sleep(12.3456789012), 12'345'678'901u) << "truncated";
    EXPECT_EQ(sleep(1e10), 10'000'000'000'000'000'000u) << "centuries fit";
    EXPECT_EQ(sleep(1e-12), 10'000'000u) << "ten milliseconds at least";
    EXPECT_EQ(sleep(-3.0), 5'000'000'000u) << "the default for one it cannot sleep";
    // One timer waits whole milliseconds, rounded up so that a sleep never ends early, and a
    // day at most.
    EXPECT_EQ(sleepSlice(PollDuration(1)), 1ms);
    EXPECT_EQ(sleepSlice(PollDuration(1'000'001)), 2ms);
    EXPECT_EQ(sleepSlice(longest), 24h);
}

TEST(PollSleep, EndsWhenItsTimeIsUpOrAtOnceWhenCancelled) {
    PollCancellation timed;
    QCoro::Task<> shortSleep = timed.sleep(20ms);
    EXPECT_FALSE(shortSleep.isReady());
    EXPECT_TRUE(testsupport::waitUntil([&] { return shortSleep.isReady(); }));

    PollCancellation cancellation;
    QCoro::Task<> longSleep = cancellation.sleep(longest);  // longer than one timer can wait
    QTest::qWait(50);
    EXPECT_FALSE(longSleep.isReady());
    cancellation.cancel();
    EXPECT_TRUE(longSleep.isReady()) << "without an event loop: the application may be ending";
    EXPECT_TRUE(cancellation.sleep(1h).isReady()) << "once cancelled, no sleep waits";
}

}  // namespace
