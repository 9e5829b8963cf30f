// Plug-in events refresh at once, whatever the poll interval: a burst gathered into one refresh,
// events during that refresh into exactly one more. Each refresh asks the simulator's lights.
#include "HotPlugSource.h"
#include "LitraController.h"
#include "PlugRefresh.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>

using namespace std::chrono_literals;
using testsupport::waitUntil;

namespace {

class HotPlug : public testing::Test {
protected:
    void SetUp() override {
        auto made = std::make_unique<HotPlugSource>();
        source = made.get();
        plug = std::make_unique<PlugRefresh>(std::move(made), 20ms, [this] { return refresh(); });
    }
    // One device query; as it ends, the events asked for in `during` are sent.
    QCoro::Task<> refresh() {
        ++started;
        co_await controller->devices();
        ++ended;
        for (; during > 0 && source; --during)
            emit source->devicesChanged();
    }
    // Every refresh asked for has run, and no other follows.
    bool ranExactly(int count) {
        const bool ran = waitUntil([&] { return ended >= count; });
        QTest::qWait(60);  // longer than a gathering
        return ran && started == count && ended == count;
    }

    const std::shared_ptr<LitraController> controller =
        std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR));
    std::unique_ptr<PlugRefresh> plug;
    QPointer<HotPlugSource> source;
    int started = 0;
    int ended = 0;
    int during = 0;
};

TEST_F(HotPlug, BurstsGiveOneRefreshAndEventsDuringOneGiveOneMore) {
    // (events at once, events during the refresh, refreshes)
    const std::tuple<int, int, int> table[] = {{1, 0, 1}, {5, 0, 1}, {1, 1, 2}, {3, 4, 2}};
    int total = 0;
    for (const auto& [burst, sentDuring, count] : table) {
        during = sentDuring;
        for (int i = 0; i < burst; ++i)
            emit source->devicesChanged();
        EXPECT_TRUE(ranExactly(total += count)) << burst << " then " << sentDuring;
    }
}

TEST_F(HotPlug, QuittingWithEventsPendingIsClean) {
    emit source->devicesChanged();  // still gathering
    plug.reset();
    EXPECT_TRUE(source.isNull());
    EXPECT_TRUE(ranExactly(0));

    SetUp();
    during = 2;
    emit source->devicesChanged();
    // The next may end within the same pass of the event loop.
    ASSERT_TRUE(waitUntil([&] { return ended >= 1; }));
    ASSERT_EQ(started, 2) << "one more asked for";
    plug.reset();
    EXPECT_TRUE(ranExactly(2)) << "the one under way ends, and nothing follows it";
}

}  // namespace
