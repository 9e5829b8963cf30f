// The whole shell on the light simulator: the delegate, its tray icon and menu, the polling
// loop and the windows.
#include "AboutDialog.h"
#include "AppDelegate.h"
#include "LightAccess.h"
#include "LitraController.h"
#include "PreferencesView.h"
#include "PreferencesWindowController.h"
#include "RecordingStatusIcon.h"
#include "StatusMenu.h"
#include "TestSupport.h"
#include "WindowPlacement.h"

#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

using testsupport::Light;
using testsupport::ScopedEnv;
using testsupport::waitUntil;
using testsupport::writeFile;

namespace {

// A light that is on at 40 % and 2700 K, and one that is off at 100 % and 6500 K, whose
// range is 3000-6000 K.
const std::vector<Light> twoLights{
    {.on = true, .kelvin = 2700},
    {.lumen = 250, .kelvin = 6500, .minKelvin = 3000, .maxKelvin = 6000}};

std::shared_ptr<LitraController> simulator() {
    return std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR));
}

class Delegate : public testing::Test {
protected:
    void TearDown() override {
        delegate.reset();
        EXPECT_EQ(offThreadWrites, 0) << "the state is written on the GUI thread only";
    }

    // Launches a delegate on the controllers the factory makes, polling every `interval`;
    // `beforeSetUp` runs between making it and its launch.
    void launch(AppDelegate::ControllerFactory factory = simulator, double interval = 3600,
                const std::function<void()>& beforeSetUp = {}) {
        writeFile(dir.filePath("lights.json"),
                  "{\"lights\":" + testsupport::lightsJson(twoLights) + "}");
        delegate = std::make_unique<AppDelegate>(std::move(factory), [this] {
            auto made = std::make_unique<RecordingStatusIcon>();
            icon = made.get();
            return made;
        });
        QObject::connect(&state(), &AppState::changed,
                         [this] { offThreadWrites += QThread::currentThread() != qApp->thread(); });
        state().setPollIntervalSeconds(interval);
        refreshes = std::make_unique<QSignalSpy>(delegate.get(), &AppDelegate::refreshFinished);
        if (beforeSetUp) {
            beforeSetUp();
        }
        delegate->setUp();
    }
    bool refreshed(qsizetype count) {
        return waitUntil([&] { return refreshes->size() >= count; });
    }
    AppState& state() { return delegate->appState(); }
    int runsOf(const QByteArray& command) const {
        return int(testsupport::readFile(dir.filePath("runs.log")).count(" " + command + "\n"));
    }
    void setFaults(const QByteArray& lines) { writeFile(dir.filePath("faults"), lines); }
    QAction* menuItem(int index) const { return icon->menu->actions().at(index); }
    QWidget* window() { return delegate->preferencesWindow()->window(); }
    static std::vector<AboutDialog*> aboutWindows() {
        std::vector<AboutDialog*> found;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* about = qobject_cast<AboutDialog*>(widget))
                found.push_back(about);
        return found;
    }

    testsupport::SimulatorFolder simulatorFolder;
    QTemporaryDir& dir = simulatorFolder.dir;
    std::unique_ptr<AppDelegate> delegate;
    RecordingStatusIcon* icon = nullptr;
    std::unique_ptr<QSignalSpy> refreshes;
    int offThreadWrites = 0;
};

TEST_F(Delegate, MissingLitraIsShownForTheWholeRunAndNothingActs) {
    launch([this] { return std::make_shared<LitraController>(dir.filePath("no/litra")); }, 0.02);
    const LightStatus missing = LightStatus::error("Bundled litra binary missing");
    QSignalSpy changes(&state(), &AppState::changed);
    icon->click(StatusIcon::Click::left);
    delegate->refreshAction();
    PreferencesForm& form = delegate->preferencesWindow()->view()->form();
    form.brightnessEditingChanged(false);  // a command with nothing to send it to
    ASSERT_TRUE(refreshed(5)) << "the loop goes on polling, to no effect";
    EXPECT_EQ(state().status(), missing);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(icon->presentations, std::vector{presentationFor(missing)});
    EXPECT_EQ(form.lightActionError(), std::nullopt);
}

TEST_F(Delegate, RefreshShowsWhatTheLightsReportAndAFailedOneForgetsIt) {
    launch();
    ASSERT_TRUE(refreshed(1));
    EXPECT_EQ(state().brightnessPercentage(), 70.0);
    EXPECT_EQ(icon->presentations.back(), presentationFor(LightStatus::mixed()));
    EXPECT_EQ(menuItem(1)->text(), "2 devices connected");
    state().setTrayIconStyle(TrayIconStyle::dark);
    EXPECT_EQ(icon->style, TrayIconStyle::dark) << "the style chosen in Preferences";

    setFaults("LITRA_SIM_FAIL_STATUS=3\nLITRA_SIM_FAIL_STDERR=usb gone\n");
    delegate->refreshAction();
    ASSERT_TRUE(refreshed(2));
    const LightStatus failed = LightStatus::error("litra exited 3: usb gone");
    EXPECT_EQ(state().deviceCount(), 0);
    EXPECT_EQ(state().brightnessPercentage(), std::nullopt);
    EXPECT_EQ(icon->presentations.back(), presentationFor(failed));
    EXPECT_EQ(menuItem(1)->text(), "Check that the lights are plugged in, then Refresh");
    EXPECT_TRUE(menuItem(2)->isSeparator()) << "no count line";
    EXPECT_EQ(menuItem(6)->text(), "Toggle Lights");
    EXPECT_FALSE(menuItem(6)->isEnabled()) << "nothing to toggle";

    // A menu that only Qt shows (an XEmbed icon's) is brought up to date as it opens.
    icon->shownOnlyByQt = true;
    setFaults("");
    delegate->refreshAction();
    ASSERT_TRUE(refreshed(3));
    EXPECT_EQ(icon->presentations.back(), presentationFor(LightStatus::mixed()));
    EXPECT_EQ(menuItem(1)->text(), "Check that the lights are plugged in, then Refresh");
    emit icon->menu->aboutToShow();
    EXPECT_EQ(menuItem(1)->text(), "2 devices connected");
}

// The first refresh may start, and even end, ahead of the launch: the launch shows its answer
// and asks nothing again.
TEST_F(Delegate, FirstRefreshStartedAheadIsTheLaunchsOwn) {
    launch(simulator, 3600, [this] {
        delegate->startFirstRefresh();
        ASSERT_TRUE(refreshed(1));
    });
    EXPECT_EQ(icon->presentations.back(), presentationFor(LightStatus::mixed()));
    EXPECT_EQ(menuItem(1)->text(), "2 devices connected");
    QTest::qWait(50);
    EXPECT_EQ(refreshes->size(), 1);
    EXPECT_EQ(runsOf("devices --json"), 1);
}

TEST_F(Delegate, ClickTogglesAndRefreshesWhileAFailedToggleShowsAtOnce) {
    launch();
    ASSERT_TRUE(refreshed(1));
    icon->click(StatusIcon::Click::right);  // brings the menu up to date, switches nothing
    // Below the count, one item per light, ticked when on; choosing one switches it alone.
    EXPECT_TRUE(menuItem(2)->isChecked() && !menuItem(3)->isChecked());
    EXPECT_EQ(menuItem(3)->toolTip(), "T-2");
    menuItem(3)->trigger();
    ASSERT_TRUE(refreshed(2));
    EXPECT_EQ(state().status(), LightStatus::allOn());
    icon->click(StatusIcon::Click::left);  // all go off
    ASSERT_TRUE(refreshed(3));
    EXPECT_EQ(state().status(), LightStatus::allOff());
    ASSERT_EQ(menuItem(8)->text(), "Toggle Lights");
    menuItem(8)->trigger();
    ASSERT_TRUE(refreshed(4));
    EXPECT_EQ(state().status(), LightStatus::allOn());

    setFaults("LITRA_SIM_ONLY=toggle\nLITRA_SIM_FAIL_STATUS=1\nLITRA_SIM_FAIL_STDERR=denied\n");
    icon->click(StatusIcon::Click::left);
    const LightStatus failed = LightStatus::error("litra exited 1: denied");
    ASSERT_TRUE(waitUntil([&] { return state().status() == failed; }));
    EXPECT_EQ(refreshes->size(), 4) << "a failed toggle does not refresh";
    EXPECT_EQ(state().brightnessPercentage(), 70.0) << "and keeps the count and the metrics";
    EXPECT_EQ(icon->presentations.back(), presentationFor(failed));
    EXPECT_EQ(menuItem(2)->text(), "2 devices connected");
}

TEST_F(Delegate, ChosenLightAloneIsShownAndSetUntilItIsUnplugged) {
    launch();
    ASSERT_TRUE(refreshed(1));
    writeFile(dir.filePath("lights.json"),
              "{\"lights\":" + testsupport::lightsJson({{}, {}, {.lumen = 25}}) + "}");
    delegate->refreshAction();
    ASSERT_TRUE(refreshed(2));
    EXPECT_EQ(menuItem(4)->text(), "Test Panel (T-3)") << "the third light's item, told apart";
    PreferencesForm& form = delegate->preferencesWindow()->view()->form();
    form.appear();
    EXPECT_EQ(form.applyToChoices().size(), 4);
    form.setAppliesTo("T-3");
    EXPECT_EQ(form.brightnessSlider(), 10.0) << "its figures only";
    form.brightnessEditingChanged(false);
    ASSERT_TRUE(
        waitUntil([&] { return runsOf("brightness --serial-number T-3 --percentage 10") == 1; }));
    writeFile(dir.filePath("lights.json"),
              "{\"lights\":" + testsupport::lightsJson({{}, {}}) + "}");
    delegate->refreshAction();
    ASSERT_TRUE(waitUntil([&] { return state().lights().size() == 2; }));
    EXPECT_EQ(form.appliesTo(), "") << "back to all lights";
    EXPECT_EQ(form.brightnessSlider(), 40.0);
    EXPECT_TRUE(menuItem(4)->isSeparator()) << "no third item";
}

TEST_F(Delegate, PollingKeepsItsIntervalAndQuitEndsIt) {
    launch(simulator, 0.02);
    ASSERT_TRUE(refreshed(3));
    state().setPollIntervalSeconds(3600);  // stored; the running loop keeps the one it read
    ASSERT_TRUE(refreshed(6));
    QObject::connect(delegate.get(), &AppDelegate::refreshFinished, [this] {
        delegate->applicationWillTerminate();
        EXPECT_TRUE(delegate->isPolling()) << "still in the loop's refresh";
    });
    ASSERT_TRUE(waitUntil([&] { return !delegate->isPolling(); }));
    const qsizetype last = refreshes->size();
    QTest::qWait(60);
    EXPECT_EQ(refreshes->size(), last);
    EXPECT_EQ(runsOf("devices --json"), last) << "one query per refresh";

    delegate->startPolling();  // at the stored hour
    delegate->applicationWillTerminate();
    EXPECT_FALSE(delegate->isPolling()) << "quit during the sleep ends the loop at once";
}

// With a light in a fake device tree that only root may use, seen as user nobody.
TEST_F(Delegate, AMissWithALightTheUserMayNotUseSaysWhyAndANewLitraTakesOverAtOnce) {
    QTemporaryDir shared;
    QFile::setPermissions(shared.path(), QFileDevice::Permissions(0x7777));  // rwxrwxrwx
    const QString tool = testsupport::writeScript(shared.path(), "litra",
                                                  R"([ -e "$0.hang" ] && sleep 10; cat "$0.json")");
    QFile::setPermissions(tool, QFileDevice::Permissions(0x7755));
    writeFile(tool + ".json", "[]");
    writeFile(shared.filePath("sys/class/hidraw/hidraw0/device/uevent"), "HID_NAME=Litra Glow\n");
    writeFile(shared.filePath("dev/hidraw0"), "");  // rw-r--r-- root
    ScopedEnv seam("GLOWDECK_DEVICE_ROOT", shared.path().toUtf8());
    QSettings("Glowdeck", "Glowdeck").setValue(AppState::litraPathKey, tool);
    launch([this] { return makeLitraController(state().litraPath()); });
    const testsupport::AsOrdinaryUser user;
    ASSERT_TRUE(refreshed(1));
    const QString headline = "A light is connected, but you do not have permission to use it.";
    const QString advice = "Load Glowdeck's udev rule, as Preferences (Status) shows";
    EXPECT_EQ(icon->presentations.back().toolTip, headline + "\n" + advice);
    EXPECT_EQ(menuItem(0)->text() + "\n" + menuItem(1)->text(), headline + "\n" + advice)
        << "the menu says the same";
    delegate->openPreferences();
    const QString fix = window()->findChild<QLabel*>("permissionFix")->text();
    EXPECT_TRUE(fix.endsWith("sudo cp '" + shippedUdevRule() +
                             "' /etc/udev/rules.d/\nsudo "
                             "udevadm control --reload-rules\nsudo udevadm trigger"));

    writeFile(tool + ".hang", "");
    delegate->refreshAction();
    QTest::qWait(100);
    std::vector<LightStatus> shown;
    QObject::connect(&state(), &AppState::changed, [&] { shown.push_back(state().status()); });
    state().setLitraPath("litra");  // stops the hung query, whose answer is then dropped
    QTest::qWait(100);
    const LightStatus refused = LightStatus::error(
        "The litra tool chosen in Preferences, litra, is not an absolute path");
    for (const LightStatus& status : shown) {
        EXPECT_TRUE(status == refused || !status.isError()) << status.message().toStdString();
    }
    EXPECT_EQ(state().status(), refused);
}

TEST_F(Delegate, CommandsInFlightOutliveTheDelegate) {
    setFaults("LITRA_SIM_DELAY_MS=100\n");
    launch(simulator, 0.01);
    const std::weak_ptr<LitraController> controller = delegate->controller();
    icon->click(StatusIcon::Click::left);
    delegate->refreshAction();
    delegate.reset();
    EXPECT_TRUE(waitUntil([&] { return controller.expired(); }));
}

TEST_F(Delegate, EachWindowIsMadeOnceAndComesBackToTheFront) {
    launch();
    delegate->openPreferences();
    QPointer<QWidget> preferences = window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(preferences));
    EXPECT_FALSE(preferences->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_LT(preferences->minimumWidth(), preferences->maximumWidth()) << "resizable";
    delegate->openAbout();
    const std::vector<AboutDialog*> abouts = aboutWindows();
    ASSERT_EQ(abouts.size(), 1u);
    AboutDialog* about = abouts.front();
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    preferences->close();
    delegate->openPreferences();
    EXPECT_EQ(window(), preferences.data()) << "closing hid it, with the form's state";
    EXPECT_TRUE(QTest::qWaitForWindowActive(preferences));
    about->showMinimized();
    delegate->openAbout();
    EXPECT_EQ(aboutWindows(), abouts);
    EXPECT_TRUE(QTest::qWaitForWindowActive(about));
    // About is a window like Preferences, not a dialog the desktop keeps above it.
    EXPECT_EQ(about->windowType(), Qt::Window);

    // Ctrl+, and Ctrl+Q work in either window.
    QTest::keyClick(about, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitForWindowActive(preferences));
    bool timedOut = false;
    QTimer::singleShot(0, [&] { QTest::keyClick(preferences, Qt::Key_Q, Qt::ControlModifier); });
    QTimer::singleShot(5000, [&] {
        timedOut = true;
        QCoreApplication::quit();
    });
    QApplication::exec();
    EXPECT_FALSE(timedOut) << "Ctrl+Q did not quit";
}

TEST_F(Delegate, PreferencesFrameIsRestoredOnlyWhereItCanBeReached) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    launch();
    delegate->openPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    const QPoint moved = screen.topLeft() + QPoint(37, 41);
    window()->move(moved);
    ASSERT_TRUE(waitUntil([&] { return window()->frameGeometry().topLeft() == moved; }));
    delegate.reset();  // quits before the move has settled: it is kept all the same
    launch();
    EXPECT_EQ(window()->frameGeometry().topLeft(), moved);

    // Off every screen, not a frame, the title bar above the top, only an edge on the screen.
    for (const QVariant& saved :
         {QVariant(QRect(20000, 20000, 460, 540)), QVariant("somewhere"),
          QVariant(QRect(100, -5000, 460, 540)), QVariant(QRect(-450, 100, 460, 540))}) {
        delegate.reset();
        QSettings("Glowdeck", "Glowdeck")
            .setValue(PreferencesWindowController::frameAutosaveName, saved);
        launch();
        EXPECT_TRUE(placement::isReachable(window()->frameGeometry(), {screen}))
            << saved.typeName();
    }
}

}  // namespace
