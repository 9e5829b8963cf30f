// Following the cameras: the decision on its own with injected time, the watcher and the lights
// that follow it on the simulator, with real processes holding stand-in nodes in a temporary
// folder.
#include "CameraLights.h"
#include "CameraWatcher.h"
#include "LitraController.h"
#include "PreferencesView.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

using namespace std::chrono_literals;
using testsupport::waitUntil;
using testsupport::writeFile;
using Step = CameraFollow::Step;

namespace {

TEST(CameraFollow, DecidesFromHolderCountsOverTime) {
    // Each row: (ms, holders, step, deadline in ms or -1) in turn.
    // clang-format off
    const std::vector<std::vector<std::tuple<int, int, Step, int>>> table{
        {{0, 1, Step::none, 1000}, {300, 0, Step::none, -1}},  // a probe
        {{0, 1, Step::none, 1000}, {1000, 1, Step::began, -1}, {2000, 0, Step::none, 5000},
         {4999, 0, Step::none, 5000}, {5000, 0, Step::ended, -1}},
        {{0, 1, Step::none, 1000}, {1000, 2, Step::began, -1}, {1500, 1, Step::none, -1},
         {2000, 0, Step::none, 5000}, {4000, 1, Step::none, -1}, {8000, 0, Step::none, 11000}},
    };
    // clang-format on
    for (std::size_t row = 0; row < table.size(); ++row) {
        CameraFollow follow;
        for (const auto& [ms, holders, step, deadline] : table[row]) {
            EXPECT_EQ(follow.update(holders, CameraFollow::Clock::time_point(ms * 1ms)), step);
            const auto due = follow.deadline();
            EXPECT_EQ(due ? due->time_since_epoch() / 1ms : -1, deadline) << row << " " << ms;
        }
    }
}

TEST(CameraFollow, PutsBackWhatWasOffUnlessTheUserSetTheLights) {
    auto light = [](const char* serial, std::optional<bool> on) {
        LitraDevice d;
        d.serial_number = *serial ? std::optional<QString>(serial) : std::nullopt;
        d.is_on = on;
        return d;
    };
    // clang-format off
    const std::vector<std::pair<std::vector<LitraDevice>, std::vector<QString>>> table{
        {{light("A", true), light("B", false), light("C", std::nullopt)}, {"B"}},
        {{light("", false), light("B", false)}, {QString()}},
        {{light("", true), light("B", false)}, {}},
    };
    // clang-format on
    for (const auto& [before, off] : table) {
        EXPECT_EQ(CameraFollow::switchOffFor(before), off);
    }
    // Set by the user while the lights were being switched on.
    CameraFollow follow({0ms, 0ms});
    follow.update(1, {});
    follow.userChangedLights();
    follow.remember({"B"});
    ASSERT_EQ(follow.update(0, {}), Step::ended);
    EXPECT_TRUE(follow.switchOffAtEnd().empty());
}

class Camera : public testing::Test {
protected:
    void TearDown() override {
        for (auto& holder : holders)
            end(holder.get());
        lights.reset();
    }
    // T-1 on and T-2 off; a stand-in node video0.
    void launch(bool follow = true, const QString& folder = "dev") {
        writeFile(dir.filePath("lights.json"),
                  "{\"lights\":" + testsupport::lightsJson({{.on = true}, {}}) + "}");
        writeFile(dir.filePath("dev/video0"), {});
        state.setFollowCamera(follow);
        lights = std::make_unique<CameraLights>(state, commands, dir.filePath(folder), timing);
        ASSERT_TRUE(drained(LightCommand::refresh()));
    }
    // The lights' report folded into the state, as the app's refresh does.
    QCoro::Task<> refresh() {
        const std::vector<LitraDevice> devices = co_await controller->devices();
        state.publish(LightsSnapshot::of(LitraController::foldStatus(devices), devices, false, {}));
    }
    QProcess* hold(const char* seconds, const char* node = "dev/video0") {
        auto* p = holders.emplace_back(std::make_unique<QProcess>()).get();
        p->start("sh",
                 {"-c", QStringLiteral("exec sleep %1 < \"$0\"").arg(seconds), dir.filePath(node)});
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }
    static void end(QProcess* p) {
        p->kill();
        p->waitForFinished();
    }
    int runsOf(const QByteArray& command) const {
        return int(testsupport::readFile(dir.filePath("runs.log")).count(" " + command + "\n"));
    }
    // Submits the command and waits until it, and all before it, has run.
    bool drained(LightCommand command) {
        QSignalSpy done(&commands, &CommandQueue::drained);
        commands.submit(std::move(command));
        return waitUntil([&] { return !done.isEmpty(); });
    }
    // Whether the camera counts as in use within the time it takes to settle, and a little more.
    bool inUseSoon() {
        return waitUntil([&] { return state.cameraInUse(); }, int((timing.settle + 500ms) / 1ms));
    }
    PreferencesView* preferences() {
        view = std::make_unique<PreferencesView>(
            &state, &commands, LoginItemService(dir.filePath("autostart"), "/usr/bin/glowdeck"));
        return view.get();
    }

    const CameraFollow::Timing timing{.settle = 1000ms, .grace = 300ms};
    testsupport::SimulatorFolder simulatorFolder;
    QTemporaryDir& dir = simulatorFolder.dir;
    const std::shared_ptr<LitraController> controller =
        std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR));
    AppState state;
    CommandQueue commands{&state, [this] { return controller; }, [this] { return refresh(); }};
    std::unique_ptr<CameraLights> lights;
    std::unique_ptr<PreferencesView> view;
    std::vector<std::unique_ptr<QProcess>> holders;
};

TEST_F(Camera, WatcherTakesAProbeForNothingAndCountsAnOpenAtOnce) {
    writeFile(dir.filePath("dev/video0"), {});
    CameraWatcher watcher(dir.filePath("dev"), timing);
    QSignalSpy began(&watcher, &CameraWatcher::began);
    hold("0.1");
    EXPECT_FALSE(waitUntil([&] { return !began.isEmpty(); }, 1500)) << "a probe";

    // An open counts at once, before the opener's descriptor shows: opened by another name,
    // this one never shows under the folder, and only the count of the open sets a deadline.
    std::filesystem::create_hard_link(dir.filePath("dev/video0").toStdString(),
                                      dir.filePath("alias").toStdString());
    hold("30", "alias");
    EXPECT_TRUE(waitUntil([&] { return watcher.follow().deadline().has_value(); }));
}

TEST_F(Camera, ACallPutsBackWhatTheUserDidNotSet) {
    launch();
    QProcess* first = hold("30");
    ASSERT_TRUE(waitUntil([&] { return state.status() == LightStatus::allOn(); }));
    EXPECT_TRUE(state.cameraInUse());
    QProcess* second = hold("30");
    end(first);
    QTest::qWait(int((timing.grace + 200ms) / 1ms));
    EXPECT_TRUE(state.cameraInUse()) << "one holder is left";
    end(second);
    ASSERT_TRUE(waitUntil([&] { return state.status() == LightStatus::mixed(); }));
    EXPECT_FALSE(state.cameraInUse());
    EXPECT_EQ(runsOf("off --serial-number T-2"), 1);

    // The user switches the lights during the next call: they stay as set.
    QProcess* third = hold("30");
    ASSERT_TRUE(waitUntil([&] { return state.status() == LightStatus::allOn(); }));
    ASSERT_TRUE(drained(LightCommand::toggle()));
    EXPECT_EQ(state.status(), LightStatus::allOff());
    end(third);
    ASSERT_TRUE(waitUntil([&] { return !state.cameraInUse(); }));
    ASSERT_TRUE(drained(LightCommand::refresh()));  // an off at the end would have run by now
    EXPECT_EQ(runsOf("on"), 2);
    EXPECT_EQ(runsOf("off --serial-number T-2"), 1);
}

TEST_F(Camera, OptionOffRunsNothingAndAFailedSwitchOnIsShownOnce) {
    launch(false);
    QProcess* call = hold("30");
    EXPECT_FALSE(inUseSoon()) << "no watching while the option is off";
    EXPECT_EQ(runsOf("on"), 0);

    writeFile(dir.filePath("faults"),
              "LITRA_SIM_ONLY=on\nLITRA_SIM_FAIL_STATUS=1\n"
              "LITRA_SIM_FAIL_STDERR=usb busy\n");
    // Turned on during a call, which then counts.
    preferences()->findChild<QCheckBox*>("followCamera")->click();
    ASSERT_TRUE(waitUntil([&] { return state.status().isError(); }));
    EXPECT_EQ(state.status(), LightStatus::error("litra exited 1: usb busy"));
    end(call);
    ASSERT_TRUE(waitUntil([&] { return !state.cameraInUse(); }));
    ASSERT_TRUE(drained(LightCommand::refresh()));
    EXPECT_EQ(runsOf("on"), 1);
    EXPECT_EQ(runsOf("off --serial-number T-2"), 0);
}

TEST_F(Camera, AMissingFolderDisablesTheOptionWithTheReason) {
    launch(true, "gone");
    PreferencesView* window = preferences();
    EXPECT_FALSE(window->findChild<QCheckBox*>("followCamera")->isEnabled());
    EXPECT_TRUE(window->findChild<QLabel*>("cameraUnavailable")->text().contains("gone"));
}

}  // namespace
