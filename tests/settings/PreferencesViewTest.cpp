// The Preferences form and its widget, on the light simulator.
#include "CapsuleSlider.h"
#include "LitraController.h"
#include "PreferencesView.h"
#include "ReadableColour.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

using testsupport::ScopedEnv;
using testsupport::waitUntil;

namespace {

// The form on screen over the simulator's one light, on at 40 % and 4000 K, with the log of the
// simulator's runs and a login item in a temporary folder.
class Preferences : public testing::Test {
protected:
    void SetUp() override {
        testsupport::writeFile(dir.filePath("lights.json"),
                               "{\"lights\":" + testsupport::lightsJson({{.on = true}}) + "}");
        state.setBrightnessPercentage(40.0);
        state.setTemperatureKelvin(4000.0);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QLabel* label(const char* name) { return view.findChild<QLabel*>(name); }
    // The arguments of every run so far, sorted: commands may run side by side.
    QStringList runs() const {
        QStringList runs;
        for (const QByteArray& line : testsupport::readFile(dir.filePath("runs.log")).split('\n')) {
            if (const QList<QByteArray> fields = line.split(' '); fields.size() > 3) {
                runs << QString::fromUtf8(fields.mid(3).join(' '));  // after pid, start, end
            }
        }
        runs.sort();
        return runs;
    }

    testsupport::SimulatorFolder simulatorFolder;
    QTemporaryDir& dir = simulatorFolder.dir;
    const std::shared_ptr<LitraController> controller =
        std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR));
    AppState state;
    std::shared_ptr<LitraController> inUse = controller;
    // A refresh finds the lights well.
    CommandQueue commands{&state, [this] { return inUse; }, [this]() -> QCoro::Task<> {
                              state.setStatus(LightStatus::allOn());
                              co_return;
                          }};
    PreferencesView view{&state, &commands,
                         LoginItemService(dir.filePath("autostart"), "/usr/bin/glowdeck")};
    PreferencesForm& form = view.form();
    QSignalSpy finished{&form, &PreferencesForm::lightCommandFinished};
};

TEST_F(Preferences, LightSlidersTakeInputOnlyWithLights) {
    auto* slider = view.findChild<CapsuleSlider*>("temperatureSlider");
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::mouseClick(slider, Qt::LeftButton, {}, {20, 11});
    EXPECT_TRUE(label("noDevicesNote")->isVisible());

    state.setDeviceCount(1);
    EXPECT_FALSE(label("noDevicesNote")->isVisible());
    QTest::mouseClick(slider, Qt::LeftButton, {}, {11, 11});
    QTest::keyClick(slider, Qt::Key_PageUp);
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 2; }));
    EXPECT_EQ(runs(), (QStringList{"temperature --value 2700", "temperature --value 3700"}));
    EXPECT_EQ(label("temperatureValue")->text(), "3700K");
}

TEST_F(Preferences, EachDragSendsOneCommandWithItsLastValueWhenItEnds) {
    form.brightnessEditingChanged(true);
    form.setBrightnessSlider(70.0);
    state.setBrightnessPercentage(45.0);  // a refresh during the drag leaves the slider alone
    EXPECT_EQ(form.brightnessSlider(), 70.0);
    form.brightnessEditingChanged(false);
    state.setBrightnessPercentage(45.0);  // seen during the drag: moves nothing now
    EXPECT_EQ(form.brightnessSlider(), 70.0);

    form.temperatureEditingChanged(true);
    form.setTemperatureSlider(5000.0);
    form.temperatureEditingChanged(false);
    form.setBrightnessSlider(49.9);
    form.brightnessEditingChanged(false);
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 3; }));
    EXPECT_EQ(runs(), (QStringList{"brightness --percentage 49", "brightness --percentage 70",
                                   "temperature --value 5000"}));
    EXPECT_EQ(brightnessValueText(1e30), "9200000000000000000%") << "saturates, no overflow";
}

TEST_F(Preferences, SlidersFollowOnlyChangedLightValuesWithinTheRange) {
    // A failed command left the sliders away from the lights' values; the same values again
    // move nothing.
    form.setBrightnessSlider(70.0);
    form.setTemperatureSlider(5000.0);
    state.setBrightnessPercentage(40.0);
    state.setTemperatureKelvin(4000.0);
    EXPECT_EQ(form.temperatureSlider(), 5000.0);

    state.setBrightnessPercentage(std::nullopt);
    state.setTemperatureKelvin(2500.0);
    EXPECT_EQ(form.brightnessSlider(), 70.0) << "no value keeps the slider";
    EXPECT_EQ(form.temperatureSlider(), 2700.0);
    state.setTemperatureKelvin(9000.0);
    EXPECT_EQ(form.temperatureSlider(), 6500.0);

    form.temperatureEditingChanged(true);
    state.setTemperatureKelvin(3000.0);
    EXPECT_EQ(form.temperatureSlider(), 6500.0) << "a drag holds its slider";
    state.setTemperatureRange({3000.0, 6000.0});
    EXPECT_EQ(form.temperatureSlider(), 6000.0) << "but a new range bounds it";
}

TEST_F(Preferences, CommandOutlivingItsFormKeepsItsControllerAndLeavesTheFormAlone) {
    ScopedEnv delay("LITRA_SIM_DELAY_MS", "200");
    QSignalSpy drained(&commands, &CommandQueue::drained);
    auto gone = std::make_unique<PreferencesForm>(&state, &commands,
                                                  LoginItemService::mainAppService());
    inUse = std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR));
    gone->brightnessEditingChanged(false);
    const std::weak_ptr<LitraController> watched = std::exchange(inUse, nullptr);
    gone.reset();
    EXPECT_FALSE(watched.expired()) << "the command holds it";
    EXPECT_TRUE(waitUntil([&] { return drained.count() == 1 && watched.expired(); }));
    EXPECT_EQ(runs().size(), 1);
}

TEST_F(Preferences, LitrasErrorIsShownAsWrittenUntilACommandSucceeds) {
    state.setDeviceCount(1);
    auto* slider = view.findChild<CapsuleSlider*>("brightnessSlider");
    {
        ScopedEnv status("LITRA_SIM_FAIL_STATUS", "1");
        ScopedEnv text("LITRA_SIM_FAIL_STDERR", "<b>USB</b> write failed");
        QTest::keyClick(slider, Qt::Key_End);
        ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }));
    }
    QLabel* error = label("lightActionError");
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(error->text(), "litra exited 1: <b>USB</b> write failed");
    EXPECT_EQ(error->textFormat(), Qt::PlainText) << "what litra says is never markup";
    QTest::keyClick(slider, Qt::Key_Home);
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 2; }));
    EXPECT_FALSE(error->isVisible());
}

TEST_F(Preferences, PollSliderStoresEveryStep) {
    state.setPollIntervalSeconds(5.0);
    for (int seconds : {6, 7}) {
        QTest::keyClick(view.findChild<QSlider*>("pollSlider"), Qt::Key_Right);
        EXPECT_EQ(QSettings("Glowdeck", "Glowdeck").value(AppState::pollIntervalKey), seconds);
    }
    EXPECT_EQ(label("pollValue")->text(), "7s");
}

TEST_F(Preferences, LitraRowNamesTheToolItsVersionAndSimulatedLightsOrHowToChooseOne) {
    form.checkLitra();
    ASSERT_TRUE(waitUntil([&] { return label("litraNote")->text().endsWith("light simulator)"); }));
    QLabel* path = label("litraPath");
    EXPECT_EQ(path->toolTip(), controller->binaryURL());
    EXPECT_TRUE(path->text().contains(u'…') && path->text().endsWith("/litra") &&
                path->fontMetrics().horizontalAdvance(path->text()) <= path->contentsRect().width())
        << "cut in the middle to fit: " << path->text().toStdString();
    EXPECT_TRUE(label("simulatedNote")->isVisible());
    inUse = nullptr;
    form.checkLitra();
    EXPECT_TRUE(label("litraNote")->text().endsWith("such as ~/.local/bin/litra."));
    EXPECT_FALSE(label("simulatedNote")->isVisible());
}

TEST_F(Preferences, RefusedLoginItemUnticksAndSaysWhy) {
    testsupport::writeFile(dir.filePath("autostart"), "a file where the folder should be");
    auto* toggle = view.findChild<QCheckBox*>("launchAtLogin");
    toggle->click();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_TRUE(label("launchError")->text().contains("Not a directory"));

    QFile::remove(dir.filePath("autostart"));
    toggle->click();
    EXPECT_TRUE(QFile::exists(dir.filePath("autostart/glowdeck.desktop")));
    EXPECT_FALSE(label("launchError")->isVisible());
}

}  // namespace

namespace {

// As a new user opens it: no tool yet, no light ever seen.
TEST(PreferencesFirstOpen, SaysWhatIsWrongShowsNoMadeUpValuesAndServesTheKeyboard) {
    QTemporaryDir dir;
    AppState state;
    state.setStatus(LightStatus::error("No litra tool chosen yet"));
    CommandQueue commands(
        &state, [] { return nullptr; }, []() -> QCoro::Task<> { co_return; });
    PreferencesView view(&state, &commands,
                         LoginItemService(dir.filePath("autostart"), "/usr/bin/glowdeck"));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const auto text = [&](const char* name) { return view.findChild<QLabel*>(name)->text(); };
    EXPECT_EQ(text("stateValue"), "Error: No litra tool chosen yet");
    EXPECT_EQ(text("stateAdvice"), "Choose it in Preferences, General: litra tool");
    EXPECT_EQ(text("noDevicesNote"),
              "The lights cannot be asked: the litra tool failed (see Status).");
    EXPECT_EQ(text("brightnessValue") + text("temperatureValue"), "––") << "never seen";
    state.setStatus(LightStatus::noDevices());
    EXPECT_EQ(text("noDevicesNote"), "No Litra devices connected.");

    for (QLabel* label : view.findChildren<QLabel*>()) {
        EXPECT_GE(contrastRatio(label->palette().color(label->foregroundRole()),
                                view.palette().color(QPalette::Window)),
                  4.5)
            << label->objectName().toStdString() << " " << label->text().toStdString();
    }
    ASSERT_NE(view.focusWidget(), nullptr);
    EXPECT_EQ(view.focusWidget()->objectName(), "litraChoose") << "opens where to act";
    for (QWidget* w = view.focusWidget()->nextInFocusChain(); w != view.focusWidget();
         w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&view) && w->isEnabled()) {
            EXPECT_FALSE(
                QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty())
                << "a tab stop without a name: " << w->metaObject()->className();
        }
    }
    // Known by its label, and still a combo box whose one child is the list of its items.
    QComboBox* style = view.findChild<QComboBox*>("trayIconStyle");
    QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(style);
    EXPECT_EQ(combo->text(QAccessible::Name), "Tray icon");
    EXPECT_EQ(combo->text(QAccessible::Value), "Automatic");
    EXPECT_EQ(combo->role(), QAccessible::ComboBox);
    ASSERT_EQ(combo->childCount(), 1);
    QAccessibleInterface* list = combo->child(0);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->parent(), combo);
    QStringList items;
    for (int i = 0; i < list->childCount(); ++i)
        items << list->child(i)->text(QAccessible::Name);
    EXPECT_EQ(items, QStringList({"Automatic", "Light", "Dark"}));
    combo->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(style->view()->isVisible()) << "its action opens the list";
}

}  // namespace
