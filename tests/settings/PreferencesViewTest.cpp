#include "CapsuleSlider.h"
#include "PreferencesView.h"
#include "SettingsTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

using settingstest::ScopedEnv;
using settingstest::simulatedLight;
using settingstest::Simulator;
using testsupport::waitUntil;

namespace {

// The poll interval starts from its default in every test.
bool forgetPollInterval() {
    QSettings("Glowdeck", "Glowdeck").remove(AppState::pollIntervalKey);
    return true;
}

class PreferencesViewTest : public testing::Test {
protected:
    PreferencesViewTest()
        : cleared(forgetPollInterval()),
          simulator(QJsonArray{simulatedLight()}),
          view(
              &state, [this] { return simulator.controller(); },
              LoginItemService(home.filePath("autostart"), "/usr/bin/glowdeck")),
          finished(&view.form(), &PreferencesForm::lightCommandFinished) {}

    void SetUp() override {
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    template <typename T = QLabel>
    T* child(const char* name) {
        T* widget = view.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void withDevices() {
        state.setStatus(LightStatus::allOn());
        state.setDeviceCount(2);
        state.setBrightnessPercentage(70.0);
        state.setTemperatureKelvin(4500.0);
    }

    bool commandsFinished(int count) {
        return waitUntil([&] { return finished.count() == count; });
    }

    bool cleared;
    Simulator simulator;
    QTemporaryDir home;
    AppState state;
    PreferencesView view;
    QSignalSpy finished;
};

TEST_F(PreferencesViewTest, ShowsTheFourSectionsWithTheirTexts) {
    EXPECT_EQ(view.size(), QSize(460, 540));
    EXPECT_EQ(view.minimumSize(), view.maximumSize());
    QStringList titles;
    for (const QGroupBox* box : view.findChildren<QGroupBox*>()) {
        titles << box->title();
    }
    EXPECT_EQ(titles, (QStringList{"Lights", "General", "Status Polling", "Status"}));
    QStringList labels;
    for (const QLabel* label : view.findChildren<QLabel*>()) {
        labels << label->text();
    }
    for (const char* text : {"Brightness", "Temperature", "Refresh every",
                             "How often Glowdeck checks the current state of your lights.",
                             "No Litra devices connected.", "State", "Devices", "50%", "4000K",
                             "5s", "No Litra devices found", "0"}) {
        EXPECT_TRUE(labels.contains(text)) << text;
    }
    EXPECT_EQ(child<QCheckBox>("launchAtLogin")->text(), "Launch at login");
}

TEST_F(PreferencesViewTest, SlidersAreDimmedAndInertWithoutDevices) {
    auto* brightness = child<CapsuleSlider>("brightnessSlider");
    auto* temperature = child<CapsuleSlider>("temperatureSlider");
    QSignalSpy editing(brightness, &CapsuleSlider::editingChanged);
    for (CapsuleSlider* slider : {brightness, temperature}) {
        EXPECT_EQ(slider->opacity(), 0.4);
        QTest::mouseClick(slider, Qt::LeftButton, {}, {20, 11});
    }
    EXPECT_EQ(editing.count(), 0);
    EXPECT_TRUE(child("noDevicesNote")->isVisible());

    withDevices();
    for (CapsuleSlider* slider : {brightness, temperature}) {
        EXPECT_EQ(slider->opacity(), 1.0);
        EXPECT_TRUE(slider->isEnabled());
    }
    EXPECT_FALSE(child("noDevicesNote")->isVisible());
    EXPECT_EQ(child("brightnessValue")->text(), "70%");
    EXPECT_EQ(child("stateValue")->text(), "All lights: On");
    EXPECT_EQ(child("deviceCountValue")->text(), "2");
}

TEST_F(PreferencesViewTest, MouseDragSendsOneCommandWhenReleased) {
    withDevices();
    auto* slider = child<CapsuleSlider>("brightnessSlider");
    const auto at = [&](double percent) {
        return QPoint(int(std::lround(11 + slider->usableWidth() * (percent - 1.0) / 99.0)), 11);
    };
    QTest::mousePress(slider, Qt::LeftButton, {}, at(40));
    QTest::mouseMove(slider, at(55));
    QTest::mouseMove(slider, at(30));
    EXPECT_EQ(child("brightnessValue")->text(), "30%");
    QTest::mouseRelease(slider, Qt::LeftButton, {}, at(30));
    ASSERT_TRUE(commandsFinished(1));
    EXPECT_EQ(simulator.runs(), QStringList{"brightness --percentage 30"});
}

TEST_F(PreferencesViewTest, EachKeyPressSendsOneCommand) {
    withDevices();
    auto* slider = child<CapsuleSlider>("temperatureSlider");
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_PageDown);
    ASSERT_TRUE(commandsFinished(2));
    EXPECT_EQ(simulator.runs(),
              (QStringList{"temperature --value 4600", "temperature --value 3600"}));
    EXPECT_EQ(child("temperatureValue")->text(), "3600K");
}

TEST_F(PreferencesViewTest, FailedCommandShowsRedFootnoteUntilOneSucceeds) {
    withDevices();
    auto* slider = child<CapsuleSlider>("temperatureSlider");
    {
        ScopedEnv status("LITRA_SIM_FAIL_STATUS", "1");
        ScopedEnv text("LITRA_SIM_FAIL_STDERR", "USB write failed");
        QTest::keyClick(slider, Qt::Key_End);
        ASSERT_TRUE(commandsFinished(1));
    }
    QLabel* error = child("lightActionError");
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(error->text(), "litra exited 1: USB write failed");
    const QColor red = error->palette().color(QPalette::WindowText);
    EXPECT_GT(red.red(), 2 * red.green());
    QTest::keyClick(slider, Qt::Key_Home);
    ASSERT_TRUE(commandsFinished(2));
    EXPECT_FALSE(error->isVisible());
}

TEST_F(PreferencesViewTest, PollSliderStoresEveryStep) {
    auto* slider = child<QSlider>("pollSlider");
    QSignalSpy changed(&state, &AppState::changed);
    for (int seconds = 6; seconds <= 12; ++seconds) {
        QTest::keyClick(slider, Qt::Key_Right);
        EXPECT_EQ(QSettings("Glowdeck", "Glowdeck").value(AppState::pollIntervalKey), seconds);
    }
    EXPECT_EQ(changed.count(), 7);
    EXPECT_EQ(child("pollValue")->text(), "12s");
}

TEST_F(PreferencesViewTest, FailedLoginItemChangeUnticksAndExplains) {
    testsupport::writeFile(home.filePath("autostart"), "a file where the folder should be");
    auto* toggle = child<QCheckBox>("launchAtLogin");
    QTest::mouseClick(toggle, Qt::LeftButton, {}, {8, toggle->height() / 2});
    EXPECT_FALSE(toggle->isChecked());
    QLabel* error = child("launchError");
    EXPECT_TRUE(error->isVisible());
    EXPECT_TRUE(error->text().contains("Not a directory")) << error->text().toStdString();

    QFile::remove(home.filePath("autostart"));
    QTest::mouseClick(toggle, Qt::LeftButton, {}, {8, toggle->height() / 2});
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_FALSE(error->isVisible());
}

// Saves the form as the user sees it, for review of its look.
TEST_F(PreferencesViewTest, RendersForReview) {
    QDir().mkpath(GLOWDECK_SCREENSHOT_DIR);
    const auto save = [&](const char* name) {
        // Nested layouts settle one level per pass after rows are shown or hidden.
        for (int pass = 0; pass < 5; ++pass) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        }
        EXPECT_TRUE(view.grab().save(QDir(GLOWDECK_SCREENSHOT_DIR).filePath(name)));
    };
    save("preferences-no-devices.png");
    withDevices();
    save("preferences-devices.png");

    testsupport::writeFile(home.filePath("autostart"), "a file where the folder should be");
    view.form().setLaunchAtLoginToggle(true);
    state.setStatus(LightStatus::error("litra exited 1: USB write failed"));
    {
        ScopedEnv status("LITRA_SIM_FAIL_STATUS", "1");
        ScopedEnv text("LITRA_SIM_FAIL_STDERR", "USB write failed");
        view.form().brightnessEditingChanged(true);
        view.form().brightnessEditingChanged(false);
        ASSERT_TRUE(commandsFinished(1));
    }
    child<CapsuleSlider>("temperatureSlider")->setFocus(Qt::TabFocusReason);
    save("preferences-errors.png");
}

}  // namespace
