#include "Await.h"
#include "LitraController.h"
#include "LitraError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <csignal>

using namespace std::chrono_literals;
using testsupport::readFile;
using testsupport::waitUntil;
using testsupport::writeScript;

namespace {

class Controller : public testing::Test {
protected:
    // A litra stand-in that runs the given shell body.
    std::shared_ptr<LitraController> fake(const QByteArray& body) {
        return std::make_shared<LitraController>(writeScript(dir.path(), "litra", body));
    }
    QTemporaryDir dir;
};

TEST_F(Controller, SendsTheArgumentVectorsAndIgnoresStandardErrorOnSuccess) {
    auto controller = fake(R"(echo "$*" >> "$0.args"; echo warning >&2; echo '[{"is_on": true}]')");
    testsupport::await(controller->toggle());
    testsupport::await(controller->setBrightness(250));
    testsupport::await(controller->setTemperature(-150));
    EXPECT_EQ(testsupport::await(controller->status()), LightStatus::allOn());
    testsupport::await(controller->on());
    testsupport::await(controller->off("S1"));
    testsupport::await(controller->toggle("S1"));
    testsupport::await(controller->setBrightness(5, "S1"));
    testsupport::await(controller->setTemperature(2800, "S1"));
    EXPECT_EQ(readFile(controller->binaryURL() + ".args"),
              "toggle\nbrightness --percentage 100\ntemperature --value -100\ndevices --json\non\n"
              "off --serial-number S1\ntoggle --serial-number S1\n"
              "brightness --serial-number S1 --percentage 5\n"
              "temperature --serial-number S1 --value 2800\n");
}

// At quit a hung litra is stopped with what it started, and nothing queued runs any more.
TEST_F(Controller, StopEndsAHungRunAndFailsWhatIsQueued) {
    auto controller = fake("trap '' TERM; sleep 30 & echo $! >> \"$0.pids\"; wait; sleep 30");
    auto running = controller->toggle();
    auto queued = controller->toggle();
    ASSERT_TRUE(waitUntil([&] { return !readFile(controller->binaryURL() + ".pids").isEmpty(); }));
    QElapsedTimer clock;
    clock.start();
    controller->stop();
    EXPECT_LT(clock.elapsed(), 1500) << "SIGKILL follows the grace";
    const QByteArray pid = readFile(controller->binaryURL() + ".pids").trimmed();
    // SIGKILL takes effect at once, though not in the same instant as the reaping.
    EXPECT_TRUE(waitUntil(
        [&] {
            return ::kill(pid.toInt(), 0) != 0 ||
                   readFile("/proc/" + pid + "/stat").contains(") Z");
        },
        200));
    for (auto* task : {&running, &queued}) {
        try {
            testsupport::await(std::move(*task));
            ADD_FAILURE() << "served after stop";
        } catch (const LaunchError& error) {
            EXPECT_EQ(error.localizedDescription(), "litra run abandoned");
        }
    }
    EXPECT_EQ(readFile(controller->binaryURL() + ".pids").count('\n'), 1);
}

TEST_F(Controller, ConcurrentCallersNeverRunTwoChildrenAtOnce) {
    const QString log = dir.filePath("runs.log");
    qputenv("LITRA_SIM_LOG", log.toUtf8());
    qputenv("LITRA_SIM_STATE", dir.filePath("lights.json").toUtf8());
    qputenv("LITRA_SIM_DELAY_MS", "20");
    auto controller = std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR));

    std::vector<QCoro::Task<>> commands;
    std::vector<QCoro::Task<LightStatus>> queries;
    for (int i = 0; i < 6; ++i) {
        commands.push_back(controller->toggle());
        commands.push_back(controller->setBrightness(10 * i + 5));
        queries.push_back(controller->status());
    }
    for (auto& task : commands) {
        testsupport::await(std::move(task));
    }
    for (auto& task : queries) {
        EXPECT_NE(testsupport::await(std::move(task)).kind(), LightStatus::Case::error);
    }
    for (const char* name : {"LITRA_SIM_LOG", "LITRA_SIM_STATE", "LITRA_SIM_DELAY_MS"}) {
        qunsetenv(name);
    }

    EXPECT_EQ(readFile(log).count('\n'), 18);
    EXPECT_EQ(testsupport::overlappingRuns(log), 0);
}

}  // namespace
