#include "PreferencesForm.h"
#include "SettingsTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>

using settingstest::ScopedEnv;
using settingstest::simulatedLight;
using settingstest::Simulator;
using testsupport::waitUntil;

namespace {

class PreferencesFormTest : public testing::Test {
protected:
    PreferencesFormTest() : simulator(QJsonArray{simulatedLight()}) {
        state.setDeviceCount(1);
        state.setBrightnessPercentage(40.0);
        state.setTemperatureKelvin(4000.0);
    }

    PreferencesForm& makeForm() {
        return makeForm([this] {
            ++providerCalls;
            return simulator.controller();
        });
    }
    PreferencesForm& makeForm(ControllerProvider provider) {
        form = std::make_unique<PreferencesForm>(&state, std::move(provider),
                                                 LoginItemService::mainAppService());
        form->appear();
        return *form;
    }

    // Ends a drag and waits for its command to come back.
    void endDrag(void (PreferencesForm::*editingChanged)(bool)) {
        QSignalSpy finished(form.get(), &PreferencesForm::lightCommandFinished);
        (form.get()->*editingChanged)(false);
        ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }));
    }

    Simulator simulator;
    QTemporaryDir config;
    ScopedEnv configHome{"XDG_CONFIG_HOME", config.path().toUtf8()};
    AppState state;
    std::unique_ptr<PreferencesForm> form;
    int providerCalls = 0;
};

TEST_F(PreferencesFormTest, FollowsTheStateOnlyOnceOnScreen) {
    form = std::make_unique<PreferencesForm>(&state, ControllerProvider{},
                                             LoginItemService::mainAppService());
    state.setBrightnessPercentage(42.0);
    EXPECT_EQ(form->brightnessSlider(), 50.0);
    EXPECT_EQ(form->temperatureText(), "4000K");
    form->appear();
    EXPECT_EQ(form->brightnessText(), "42%");
}

TEST_F(PreferencesFormTest, DragSendsOneCommandWithTheFinalValueWhenItEnds) {
    makeForm();
    form->brightnessEditingChanged(true);
    form->setBrightnessSlider(55.0);
    state.setBrightnessPercentage(45.0);  // a refresh during the drag
    form->setBrightnessSlider(70.0);
    EXPECT_TRUE(form->isEditingBrightness());
    EXPECT_EQ(form->brightnessSlider(), 70.0);
    EXPECT_TRUE(simulator.runs().isEmpty()) << "nothing is sent while dragging";

    endDrag(&PreferencesForm::brightnessEditingChanged);
    EXPECT_FALSE(form->isEditingBrightness());
    EXPECT_EQ(simulator.runs(), QStringList{"brightness --percentage 70"});
    EXPECT_EQ(simulator.lights()[0].toObject()["brightness_in_lumen"].toInt(), 175);
    EXPECT_EQ(form->lightActionError(), std::nullopt);
    EXPECT_EQ(state.brightnessPercentage(), 45.0) << "the form never writes the light values";

    // A value seen during the drag counts as seen: repeating it moves nothing.
    state.setBrightnessPercentage(45.0);
    EXPECT_EQ(form->brightnessSlider(), 70.0);

    form->temperatureEditingChanged(true);
    form->setTemperatureSlider(5000.0);
    endDrag(&PreferencesForm::temperatureEditingChanged);
    form->brightnessEditingChanged(true);
    form->setBrightnessSlider(49.9);
    endDrag(&PreferencesForm::brightnessEditingChanged);
    EXPECT_EQ(simulator.runs().mid(1),
              (QStringList{"temperature --value 5000", "brightness --percentage 49"}));
    EXPECT_EQ(providerCalls, 3) << "the controller is asked for anew for every command";
}

TEST_F(PreferencesFormTest, WithoutAControllerNothingIsSentAndNothingShown) {
    makeForm([this]() -> std::shared_ptr<LitraController> {
        ++providerCalls;
        return nullptr;
    });
    QSignalSpy finished(form.get(), &PreferencesForm::lightCommandFinished);
    form->brightnessEditingChanged(true);
    form->setBrightnessSlider(70.0);
    form->brightnessEditingChanged(false);
    EXPECT_EQ(providerCalls, 1);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(form->lightActionError(), std::nullopt);
    EXPECT_EQ(form->brightnessSlider(), 70.0);
}

TEST_F(PreferencesFormTest, FailedCommandShowsItsMessageUntilACommandSucceeds) {
    makeForm();
    {
        ScopedEnv status("LITRA_SIM_FAIL_STATUS", "1");
        ScopedEnv text("LITRA_SIM_FAIL_STDERR", "USB write failed");
        ScopedEnv only("LITRA_SIM_ONLY", "temperature");
        form->temperatureEditingChanged(true);
        form->setTemperatureSlider(5000.0);
        endDrag(&PreferencesForm::temperatureEditingChanged);
        EXPECT_EQ(form->lightActionError(), "litra exited 1: USB write failed");
        EXPECT_EQ(form->temperatureSlider(), 5000.0) << "the slider keeps the value sent";
        form->brightnessEditingChanged(true);
        endDrag(&PreferencesForm::brightnessEditingChanged);
    }
    EXPECT_EQ(form->lightActionError(), std::nullopt);
}

TEST_F(PreferencesFormTest, TaskOutlivingTheFormKeepsItsControllerAndLeavesTheFormAlone) {
    ScopedEnv delay("LITRA_SIM_DELAY_MS", "200");
    std::weak_ptr<LitraController> controller;
    makeForm([&] {
        auto made = std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR));
        controller = made;
        return made;
    });
    form->brightnessEditingChanged(true);
    form->brightnessEditingChanged(false);
    form.reset();
    EXPECT_FALSE(controller.expired());
    EXPECT_TRUE(waitUntil([&] { return controller.expired(); }));
    EXPECT_EQ(simulator.runs().size(), 1);
}

TEST_F(PreferencesFormTest, LightValuesMoveTheIdleSliders) {
    makeForm();
    struct Step {
        const char* what;
        std::function<void()> change;
        double brightness;
        double temperature;
    };
    const Step steps[] = {
        {"brightness arrives", [&] { state.setBrightnessPercentage(37.5); }, 37.5, 4000},
        {"beyond the range", [&] { state.setBrightnessPercentage(120.0); }, 120, 4000},
        {"brightness absent", [&] { state.setBrightnessPercentage(std::nullopt); }, 120, 4000},
        {"below the range", [&] { state.setTemperatureKelvin(2500.0); }, 120, 2700},
        {"temperature absent", [&] { state.setTemperatureKelvin(std::nullopt); }, 120, 2700},
        {"above the range", [&] { state.setTemperatureKelvin(9000.0); }, 120, 6500},
    };
    for (const Step& step : steps) {
        step.change();
        EXPECT_EQ(form->brightnessSlider(), step.brightness) << step.what;
        EXPECT_EQ(form->temperatureSlider(), step.temperature) << step.what;
    }
    EXPECT_EQ(form->brightnessText(), "120%");

    form->brightnessEditingChanged(true);
    form->temperatureEditingChanged(true);
    state.setBrightnessPercentage(37.5);
    state.setTemperatureKelvin(3000.0);
    EXPECT_EQ(form->brightnessSlider(), 120.0) << "a drag holds its slider";
    EXPECT_EQ(form->temperatureSlider(), 6500.0) << "a drag holds its slider";
}

TEST_F(PreferencesFormTest, NewRangeClampsTheTemperatureSliderEvenMidDrag) {
    for (const bool dragging : {false, true}) {
        state.setTemperatureRange({2700.0, 6500.0});
        state.setTemperatureKelvin(6500.0);
        makeForm();
        form->temperatureEditingChanged(dragging);
        state.setTemperatureRange({3000.0, 6000.0});
        EXPECT_EQ(form->temperatureSlider(), 6000.0) << "dragging " << dragging;
    }
}

TEST_F(PreferencesFormTest, UnchangedValueRunsNoHandler) {
    makeForm();
    // A failed command left the sliders away from the lights' values.
    form->setBrightnessSlider(70.0);
    form->setTemperatureSlider(5000.0);
    state.setBrightnessPercentage(40.0);
    state.setTemperatureKelvin(4000.0);
    state.setTemperatureRange({2700.0, 6500.0});
    EXPECT_EQ(form->brightnessSlider(), 70.0);
    EXPECT_EQ(form->temperatureSlider(), 5000.0);
    state.setBrightnessPercentage(41.0);
    EXPECT_EQ(form->brightnessSlider(), 41.0);
}

TEST(ValueTexts, TruncateTowardZero) {
    EXPECT_EQ(brightnessValueText(49.9), "49%");
    EXPECT_EQ(temperatureValueText(4000.0), "4000K");
    EXPECT_EQ(pollIntervalValueText(-1.5), "-1s");
    EXPECT_EQ(brightnessValueText(1e30), "9200000000000000000%") << "saturates, no overflow";
}

using LaunchAtLogin = PreferencesFormTest;

TEST_F(LaunchAtLogin, ToggleRegistersAndUnregisters) {
    const QString entry = config.filePath("autostart/glowdeck.desktop");
    makeForm();
    EXPECT_FALSE(form->launchAtLogin());
    form->setLaunchAtLoginToggle(true);
    EXPECT_TRUE(QFileInfo::exists(entry));
    EXPECT_EQ(form->launchError(), std::nullopt);
    form->setLaunchAtLoginToggle(false);
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_FALSE(form->launchAtLogin());
}

TEST_F(LaunchAtLogin, AlreadyEnabledOutsideMakesNoRequest) {
    const QString entry = config.filePath("autostart/glowdeck.desktop");
    makeForm();
    const QByteArray outside = "[Desktop Entry]\nExec=written-by-the-desktop\n";
    testsupport::writeFile(entry, outside);
    EXPECT_FALSE(form->launchAtLogin()) << "read once, at construction";
    form->setLaunchAtLoginToggle(true);
    EXPECT_EQ(testsupport::readFile(entry), outside);
    EXPECT_EQ(form->launchError(), std::nullopt);
    EXPECT_TRUE(makeForm().launchAtLogin());
}

TEST_F(LaunchAtLogin, FailureKeepsItsMessageAfterTheToggleIsReset) {
    testsupport::writeFile(config.filePath("autostart"), "a file where the folder should be");
    makeForm();
    form->setLaunchAtLoginToggle(true);
    EXPECT_FALSE(form->launchAtLogin()) << "the toggle shows the real state again";
    ASSERT_TRUE(form->launchError().has_value());
    EXPECT_TRUE(form->launchError()->contains("Not a directory"));
    EXPECT_THROW(form->setLaunchAtLogin(true), LoginItemError);
}

}  // namespace
