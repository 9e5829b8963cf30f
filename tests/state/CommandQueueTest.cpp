// Every light command through one queue, on the light simulator.
#include "AppState.h"
#include "CommandQueue.h"
#include "LitraController.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using testsupport::waitUntil;

namespace {

class Queue : public testing::Test {
protected:
    void submit(LightCommand command) {
        queue.submit(std::move(command),
                     [this](const CommandOutcome& outcome) { outcomes.push_back(outcome); });
    }
    QList<QByteArray> runs() const {
        QList<QByteArray> runs;
        for (const QByteArray& line : testsupport::readFile(sim.dir.filePath("runs.log")).split('\n')) {
            if (const QList<QByteArray> fields = line.split(' '); fields.size() > 3) {
                runs << fields.mid(3).join(' ');  // after pid, start, end
            }
        }
        return runs;
    }
    void fail(const char* command) {
        testsupport::writeFile(sim.dir.filePath("faults"),
                               QByteArray("LITRA_SIM_ONLY=") + command +
                                   "\nLITRA_SIM_FAIL_STATUS=1\nLITRA_SIM_FAIL_STDERR=denied\n");
    }

    testsupport::SimulatorFolder sim;
    testsupport::ScopedEnv delay{"LITRA_SIM_DELAY_MS", "20"};
    AppState state;
    std::shared_ptr<LitraController> controller =
        std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR));
    // How many callers had been answered at each refresh.
    std::vector<std::size_t> refreshes;
    CommandQueue queue{&state, [this] { return controller; }, [this]() -> QCoro::Task<> {
                           refreshes.push_back(outcomes.size());
                           state.setStatus(LightStatus::allOn());
                           co_return;
                       }};
    std::vector<CommandOutcome> outcomes;
};

TEST_F(Queue, ABurstIsBoundedSettlesOnTheLatestValueAndIsAnsweredAfterOneRefresh) {
    submit(LightCommand::brightness(10));  // runs at once; the rest wait
    for (int percentage : {20, 30, 40}) {
        submit(LightCommand::brightness(percentage));
    }
    submit(LightCommand::temperature(3000));
    for (int i = 0; i < 30; ++i) {
        submit(LightCommand::toggle());
    }
    ASSERT_EQ(outcomes.size(), 3u) << "35 callers: those beyond 32 are refused at once";
    EXPECT_TRUE(outcomes[0].refused && !outcomes[0].commandFailure.isEmpty());

    ASSERT_TRUE(waitUntil([&] { return outcomes.size() == 35; }, 20000));
    EXPECT_EQ(refreshes, std::vector<std::size_t>{3}) << "one refresh, before any answer";
    QList<QByteArray> expected{"brightness --percentage 10", "brightness --percentage 40",
                               "temperature --value 3000"};
    for (int i = 0; i < 27; ++i) {
        expected << "toggle";
    }
    EXPECT_EQ(runs(), expected);
    for (std::size_t i = 3; i < outcomes.size(); ++i) {
        EXPECT_EQ(outcomes[i].failure(), "") << i;
    }
}

TEST_F(Queue, AFailureIsTheStatusAndAReplacedLitrasIsDropped) {
    fail("toggle");
    submit(LightCommand::toggle());
    ASSERT_TRUE(waitUntil([&] { return outcomes.size() == 1; }));
    EXPECT_EQ(outcomes[0].commandFailure, "litra exited 1: denied");
    EXPECT_TRUE(refreshes.empty()) << "nothing went through: nothing to refresh";

    // A refresh after the one that went through does not hide the failure that came last.
    submit(LightCommand::on());
    submit(LightCommand::toggle());
    ASSERT_TRUE(waitUntil([&] { return outcomes.size() == 3; }));
    EXPECT_EQ(refreshes.size(), 1u);
    EXPECT_EQ(outcomes[1].failure(), "");
    EXPECT_EQ(state.status(), LightStatus::error("litra exited 1: denied"));

    // A litra replaced while it runs: what it says no longer counts.
    state.setStatus(LightStatus::allOff());
    submit(LightCommand::toggle());
    controller = std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR));
    ASSERT_TRUE(waitUntil([&] { return outcomes.size() == 4; }));
    EXPECT_EQ(state.status(), LightStatus::allOff());
    EXPECT_EQ(refreshes.size(), 1u);
}

}  // namespace
