#include "AppState.h"
#include "PollSleep.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTest>

#include <limits>

using namespace std::chrono_literals;

namespace {

constexpr PollDuration longest(std::numeric_limits<std::uint64_t>::max());

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
