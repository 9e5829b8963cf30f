#include "AppDelegate.h"
#include "LitraController.h"
#include "RecordingStatusIcon.h"
#include "StatusMenu.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QSignalSpy>
#include <QTemporaryDir>

using testsupport::readFile;
using testsupport::waitUntil;
using testsupport::writeFile;
using testsupport::writeScript;

namespace {

// One simulated light in the simulator's state file.
struct Light {
    bool on;
    int lumen;
    int maxLumen;
    int kelvin;
    int minKelvin;
    int maxKelvin;
};

QByteArray reportOf(const std::vector<Light>& lights) {
    QByteArray json = "[";
    int serial = 0;
    for (const Light& light : lights) {
        if (serial > 0) {
            json += ",";
        }
        json += QStringLiteral(
                    R"({"serial_number":"T-%1","device_type":"Test Panel","is_on":%2,)"
                    R"("brightness_in_lumen":%3,"temperature_in_kelvin":%4,)"
                    R"("minimum_brightness_in_lumen":20,"maximum_brightness_in_lumen":%5,)"
                    R"("minimum_temperature_in_kelvin":%6,"maximum_temperature_in_kelvin":%7})")
                    .arg(++serial)
                    .arg(light.on ? "true" : "false")
                    .arg(light.lumen)
                    .arg(light.kelvin)
                    .arg(light.maxLumen)
                    .arg(light.minKelvin)
                    .arg(light.maxKelvin)
                    .toUtf8();
    }
    return json + "]";
}

// A panel at 40 % and 2700 K that is on, and one at 100 % and 6500 K that is off.
const std::vector<Light> twoLights = {{true, 100, 250, 2700, 2700, 6500},
                                      {false, 250, 250, 6500, 3000, 6000}};

class Delegate : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("LITRA_SIM_STATE", dir.filePath("lights.json").toUtf8());
        qputenv("LITRA_SIM_FAULTS_FILE", dir.filePath("faults").toUtf8());
        qputenv("LITRA_SIM_LOG", dir.filePath("runs.log").toUtf8());
    }

    void TearDown() override {
        delegate.reset();
        for (const char* name : {"LITRA_SIM_STATE", "LITRA_SIM_FAULTS_FILE", "LITRA_SIM_LOG"}) {
            qunsetenv(name);
        }
    }

    void setLights(const std::vector<Light>& lights) {
        writeFile(dir.filePath("lights.json"), "{\"lights\":" + reportOf(lights) + "}");
    }
    void setFaults(const QByteArray& lines) { writeFile(dir.filePath("faults"), lines); }
    int runsOf(const QByteArray& command) const {
        return static_cast<int>(readFile(dir.filePath("runs.log")).count(" " + command + "\n"));
    }

    // Launches a delegate on the controller the factory makes, polling every `interval`.
    void launch(AppDelegate::ControllerFactory factory, double interval = 3600.0) {
        delegate = std::make_unique<AppDelegate>(std::move(factory), [this] {
            auto made = std::make_unique<RecordingStatusIcon>();
            icon = made.get();
            return made;
        });
        delegate->appState().setPollIntervalSeconds(interval);
        refreshes = std::make_unique<QSignalSpy>(delegate.get(), &AppDelegate::refreshFinished);
        delegate->setUp();
    }
    void launchOnSimulator(double interval = 3600.0) {
        launch([] { return std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR)); },
               interval);
    }
    bool waitForRefreshes(qsizetype count) {
        return waitUntil([&] { return refreshes->size() >= count; });
    }

    QAction* menuItem(const QString& title) const {
        for (QAction* action : delegate->statusMenu()->menu()->actions()) {
            if (action->text() == title) {
                return action;
            }
        }
        return nullptr;
    }
    AppState& state() { return delegate->appState(); }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> delegate;
    RecordingStatusIcon* icon = nullptr;
    std::unique_ptr<QSignalSpy> refreshes;
};

TEST_F(Delegate, MissingExecutableKeepsItsErrorForTheWholeRun) {
    launch([this] { return std::make_shared<LitraController>(dir.filePath("no/litra")); }, 0.02);

    const LightStatus missing = LightStatus::error("Bundled litra binary missing");
    EXPECT_EQ(state().status(), missing);
    EXPECT_EQ(delegate->controller(), nullptr);
    ASSERT_EQ(icon->presentations.size(), 1u);
    EXPECT_EQ(icon->presentations[0].toolTip, "Error: Bundled litra binary missing");
    EXPECT_EQ(icon->presentations[0].symbolName, "lightbulb.min.badge.exclamationmark");

    QSignalSpy changes(&state(), &AppState::changed);
    icon->click(StatusIcon::Click::left);
    menuItem("Toggle Lights")->trigger();
    menuItem("Refresh")->trigger();
    // The polling loop keeps cycling without effect.
    ASSERT_TRUE(waitForRefreshes(5));
    EXPECT_TRUE(delegate->isPolling());
    EXPECT_EQ(state().status(), missing);
    EXPECT_EQ(changes.size(), 0);
    EXPECT_EQ(icon->presentations.size(), 1u);
}

TEST_F(Delegate, FirstRefreshStoresStatusCountAndMetricsInOrder) {
    setLights(twoLights);
    std::vector<QString> steps;
    launchOnSimulator();
    ASSERT_EQ(icon->presentations.size(), 1u);
    EXPECT_EQ(icon->presentations[0], presentationFor(LightStatus::noDevices()));

    QObject::connect(&state(), &AppState::changed, [&] {
        AppState& s = state();
        steps.push_back(QStringLiteral("%1 / %2 / %3 / %4 / %5-%6")
                            .arg(displayText(s.status()))
                            .arg(s.deviceCount())
                            .arg(s.brightnessPercentage().value_or(-1))
                            .arg(s.temperatureKelvin().value_or(-1))
                            .arg(s.temperatureRange().lower)
                            .arg(s.temperatureRange().upper));
    });
    icon->onPresentation = [&](const StatusPresentation& shown) {
        steps.push_back("icon: " + shown.toolTip);
    };
    ASSERT_TRUE(waitForRefreshes(1));

    EXPECT_EQ(steps, (std::vector<QString>{
                         "Lights: Mixed / 0 / -1 / -1 / 2700-6500",
                         "Lights: Mixed / 2 / -1 / -1 / 2700-6500",
                         "Lights: Mixed / 2 / 70 / -1 / 2700-6500",
                         "Lights: Mixed / 2 / 70 / 4600 / 2700-6500",
                         "Lights: Mixed / 2 / 70 / 4600 / 3000-6000",
                         "icon: Lights: Mixed",
                     }));
    EXPECT_EQ(icon->presentations.back().symbolName, "lightbulb.led");
    EXPECT_EQ(runsOf("devices --json"), 1) << "one query per refresh";
    EXPECT_EQ(delegate->statusMenu()->entries(), menuEntries(LightStatus::mixed(), 2));
}

TEST_F(Delegate, NoLightsAttached) {
    setLights({});
    launchOnSimulator();
    ASSERT_TRUE(waitForRefreshes(1));
    EXPECT_EQ(state().status(), LightStatus::noDevices());
    EXPECT_EQ(state().deviceCount(), 0);
    EXPECT_EQ(icon->presentations.back().toolTip, "No Litra devices found");
}

TEST_F(Delegate, QueryFailingInBothRunsClearsWhatAnEarlierRefreshFound) {
    setLights(twoLights);
    launchOnSimulator();
    ASSERT_TRUE(waitForRefreshes(1));
    ASSERT_EQ(state().deviceCount(), 2);

    setFaults("LITRA_SIM_FAIL_STATUS=3\nLITRA_SIM_FAIL_STDERR=usb gone\\n\n");
    delegate->refreshAction();
    ASSERT_TRUE(waitForRefreshes(2));

    EXPECT_EQ(state().status(), LightStatus::error("litra exited 3: usb gone\n"));
    EXPECT_EQ(state().deviceCount(), 0);
    EXPECT_EQ(state().brightnessPercentage(), std::nullopt);
    EXPECT_EQ(state().temperatureKelvin(), std::nullopt);
    EXPECT_EQ(state().temperatureRange(), (TemperatureRange{3000, 6000}));
    EXPECT_EQ(icon->presentations.back().toolTip, "Error: litra exited 3: usb gone\n");
    EXPECT_EQ(delegate->statusMenu()->entries(),
              menuEntries(LightStatus::error("litra exited 3: usb gone\n"), 0));
}

TEST_F(Delegate, LeftClickTogglesAndRefreshes) {
    setLights(twoLights);
    launchOnSimulator();
    ASSERT_TRUE(waitForRefreshes(1));

    icon->click(StatusIcon::Click::left);  // one light is on: every light goes off
    ASSERT_TRUE(waitForRefreshes(2));
    EXPECT_EQ(state().status(), LightStatus::allOff());
    EXPECT_EQ(runsOf("toggle"), 1);

    menuItem("Toggle Lights")->trigger();  // the same as a left click
    ASSERT_TRUE(waitForRefreshes(3));
    EXPECT_EQ(state().status(), LightStatus::allOn());
    EXPECT_EQ(icon->presentations.back(), presentationFor(LightStatus::allOn()));
    EXPECT_EQ(runsOf("toggle"), 2);
}

TEST_F(Delegate, FailedToggleShowsItsErrorAtOnceAndKeepsCountAndMetrics) {
    setLights(twoLights);
    launchOnSimulator();
    ASSERT_TRUE(waitForRefreshes(1));

    setFaults(
        "LITRA_SIM_ONLY=toggle\nLITRA_SIM_FAIL_STATUS=1\n"
        "LITRA_SIM_FAIL_STDERR=permission denied\\n\n");
    icon->click(StatusIcon::Click::left);
    const LightStatus failed = LightStatus::error("litra exited 1: permission denied\n");
    ASSERT_TRUE(waitUntil([&] { return state().status() == failed; }));

    EXPECT_EQ(refreshes->size(), 1) << "a failed toggle does not refresh";
    EXPECT_EQ(state().deviceCount(), 2);
    EXPECT_EQ(state().brightnessPercentage(), 70.0);
    EXPECT_EQ(state().temperatureKelvin(), 4600.0);
    EXPECT_EQ(icon->presentations.back(), presentationFor(failed));
    EXPECT_EQ(delegate->statusMenu()->entries(), menuEntries(failed, 2));

    // The next refresh replaces the error with what the lights report.
    menuItem("Refresh")->trigger();
    ASSERT_TRUE(waitForRefreshes(2));
    EXPECT_EQ(state().status(), LightStatus::mixed());
}

TEST_F(Delegate, RightClickUpdatesTheMenuAndTogglesNothing) {
    setLights(twoLights);
    launchOnSimulator();
    ASSERT_TRUE(waitForRefreshes(1));
    EXPECT_EQ(icon->menu, delegate->statusMenu()->menu());

    icon->click(StatusIcon::Click::right);
    EXPECT_EQ(delegate->statusMenu()->entries(), menuEntries(LightStatus::mixed(), 2));
    QCoreApplication::processEvents();
    EXPECT_EQ(runsOf("toggle"), 0);
}

TEST_F(Delegate, PollingRefreshesRepeatedlyWithTheIntervalReadAtStart) {
    setLights(twoLights);
    launchOnSimulator(0.02);
    ASSERT_TRUE(waitForRefreshes(3));

    // A new interval is stored but the running loop keeps the one it started with.
    state().setPollIntervalSeconds(3600);
    const qsizetype before = refreshes->size();
    ASSERT_TRUE(waitForRefreshes(before + 3));

    delegate->applicationWillTerminate();
    ASSERT_TRUE(waitUntil([&] { return !delegate->isPolling(); }));
    EXPECT_EQ(runsOf("devices --json"), refreshes->size());
}

TEST_F(Delegate, QuitDuringTheSleepEndsTheLoopAtOnce) {
    setLights(twoLights);
    launchOnSimulator(3600);
    ASSERT_TRUE(waitForRefreshes(1));
    ASSERT_TRUE(delegate->isPolling());

    delegate->applicationWillTerminate();
    EXPECT_FALSE(delegate->isPolling()) << "the loop ended without waiting for its sleep";
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes->size(), 1);
    EXPECT_EQ(runsOf("devices --json"), 1);
}

TEST_F(Delegate, QuitDuringALoopRefreshLetsItFinishThenEnds) {
    setLights(twoLights);
    launchOnSimulator(3600);
    ASSERT_TRUE(waitForRefreshes(1));
    // A fresh loop with a short interval: the next refresh is its own. Quit while the loop
    // still waits for that refresh to end.
    state().setPollIntervalSeconds(0.02);
    delegate->startPolling();
    QObject::connect(delegate.get(), &AppDelegate::refreshFinished, [&] {
        if (refreshes->size() == 2) {
            delegate->applicationWillTerminate();
            EXPECT_TRUE(delegate->isPolling());
        }
    });
    ASSERT_TRUE(waitUntil([&] { return !delegate->isPolling(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes->size(), 2);
    EXPECT_EQ(runsOf("devices --json"), 2);
}

TEST_F(Delegate, TasksInFlightOutliveTheDelegateSafely) {
    setLights(twoLights);
    setFaults("LITRA_SIM_DELAY_MS=100\n");
    launchOnSimulator(0.01);
    std::weak_ptr<LitraController> controller = delegate->controller();
    icon->click(StatusIcon::Click::left);
    delegate->refreshAction();
    delegate.reset();
    // The tasks resume, find the delegate gone and let go of the controller.
    EXPECT_TRUE(waitUntil([&] { return controller.expired(); }));
}

TEST_F(Delegate, NothingToDrawBeforeLaunch) {
    AppDelegate idle([] { return nullptr; },
                     [] { return std::make_unique<RecordingStatusIcon>(); });
    idle.updateStatusItem(LightStatus::allOn());
    idle.applicationWillTerminate();
    EXPECT_EQ(idle.statusItem(), nullptr);
    EXPECT_FALSE(idle.isPolling());
}

}  // namespace
