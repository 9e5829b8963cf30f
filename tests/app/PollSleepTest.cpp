#include "PollSleep.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTest>

#include <limits>

using namespace std::chrono_literals;

namespace {

struct IntervalCase {
    const char* name;
    double seconds;
    std::uint64_t nanoseconds;
};

class PollInterval : public testing::TestWithParam<IntervalCase> {};

TEST_P(PollInterval, SleepLength) {
    EXPECT_EQ(pollSleepDuration(GetParam().seconds).count(), GetParam().nanoseconds);
}

constexpr std::uint64_t fiveSeconds = 5'000'000'000;
constexpr double inf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Seconds, PollInterval,
    testing::Values(
        IntervalCase{"Default", 5.0, fiveSeconds}, IntervalCase{"Fraction", 2.5, 2'500'000'000},
        IntervalCase{"TruncatedToWholeNanoseconds", 12.3456789012, 12'345'678'901},
        IntervalCase{"LargestSliderValue", 30.0, 30'000'000'000},
        IntervalCase{"CenturiesStillFit", 1e10, 10'000'000'000'000'000'000u},
        IntervalCase{"Zero", 0.0, fiveSeconds}, IntervalCase{"NegativeZero", -0.0, fiveSeconds},
        IntervalCase{"Negative", -3.0, fiveSeconds},
        IntervalCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), fiveSeconds},
        IntervalCase{"Infinite", inf, fiveSeconds},
        IntervalCase{"NegativeInfinite", -inf, fiveSeconds},
        IntervalCase{"JustPastTheCount", 18446744073.709551616, fiveSeconds},
        IntervalCase{"FarPastTheCount", 1e300, fiveSeconds},
        IntervalCase{"ShortestIsTenMilliseconds", 0.001, 10'000'000},
        IntervalCase{"BelowOneNanosecond", 1e-12, 10'000'000},
        IntervalCase{"ShortButAllowed", 0.05, 50'000'000}),
    [](const auto& info) { return info.param.name; });

TEST(SleepSlice, RoundsUpAndCapsAtADay) {
    EXPECT_EQ(sleepSlice(PollDuration(0)), 0ms);
    EXPECT_EQ(sleepSlice(PollDuration(1)), 1ms);
    EXPECT_EQ(sleepSlice(PollDuration(1'000'000)), 1ms);
    EXPECT_EQ(sleepSlice(PollDuration(1'000'001)), 2ms);
    EXPECT_EQ(sleepSlice(PollDuration(5'000'000'000)), 5000ms);
    EXPECT_EQ(sleepSlice(PollDuration(std::numeric_limits<std::uint64_t>::max())), 24h);
}

TEST(PollCancellation, SleepEndsWhenItsTimeIsUp) {
    PollCancellation cancellation;
    QCoro::Task<> sleep = cancellation.sleep(20ms);
    EXPECT_FALSE(sleep.isReady());
    EXPECT_TRUE(testsupport::waitUntil([&] { return sleep.isReady(); }));
    EXPECT_FALSE(cancellation.isCancelled());
}

TEST(PollCancellation, CancelEndsASleepAtOnce) {
    PollCancellation cancellation;
    QCoro::Task<> sleep = cancellation.sleep(1h);
    QCoreApplication::processEvents();
    EXPECT_FALSE(sleep.isReady());
    cancellation.cancel();
    // No event loop needed: termination cancels after the last turn of the loop.
    EXPECT_TRUE(sleep.isReady());
    EXPECT_TRUE(cancellation.isCancelled());
}

TEST(PollCancellation, SleepAfterCancelReturnsAtOnce) {
    PollCancellation cancellation;
    cancellation.cancel();
    EXPECT_TRUE(cancellation.sleep(1h).isReady());
}

TEST(PollCancellation, LongerThanATimerCanHold) {
    PollCancellation cancellation;
    QCoro::Task<> sleep =
        cancellation.sleep(PollDuration(std::numeric_limits<std::uint64_t>::max()));
    QTest::qWait(50);
    EXPECT_FALSE(sleep.isReady());
    cancellation.cancel();
    EXPECT_TRUE(sleep.isReady());
}

}  // namespace
