#include "AboutDialog.h"
#include "AppDelegate.h"
#include "LitraController.h"
#include "PreferencesView.h"
#include "PreferencesWindowController.h"
#include "RecordingStatusIcon.h"
#include "TestSupport.h"
#include "WindowFrameAutosave.h"
#include "WindowPlacement.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using testsupport::readFile;
using testsupport::waitUntil;
using testsupport::writeFile;

namespace {

QSettings settingsStore() {
    return QSettings(QStringLiteral("Glowdeck"), QStringLiteral("Glowdeck"));
}

QRect primaryArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// Centred as far as can be known before the first show, when the window frame's size is not
// yet known: off by no more than the frame's thickness.
testing::AssertionResult isCentred(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const int frameThickness = std::max(frame.width() - window->width(), 2);
    const QPoint offset = frame.center() - primaryArea().center();
    if (std::abs(offset.x()) <= frameThickness && std::abs(offset.y()) <= frameThickness) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "frame at " << frame.x() << "," << frame.y() << " size " << frame.width() << "x"
           << frame.height() << " on a screen area of " << primaryArea().width() << "x"
           << primaryArea().height();
}

// A delegate on the simulator's two lights (one on, one off), with a recording tray icon.
class PreferencesWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("LITRA_SIM_STATE", dir.filePath("lights.json").toUtf8());
        qputenv("LITRA_SIM_LOG", dir.filePath("runs.log").toUtf8());
        qputenv("LITRA_SIM_FAULTS_FILE", dir.filePath("faults").toUtf8());
        settingsStore().remove(QLatin1String(PreferencesWindowController::frameAutosaveName));
        delegate = launch();
    }

    void TearDown() override {
        delegate.reset();
        qunsetenv("LITRA_SIM_STATE");
        qunsetenv("LITRA_SIM_LOG");
        qunsetenv("LITRA_SIM_FAULTS_FILE");
        settingsStore().remove(QLatin1String(PreferencesWindowController::frameAutosaveName));
    }

    // One run of Glowdeck as far as these tests need it, its first refresh done: the form
    // takes the lights' values from it.
    std::unique_ptr<AppDelegate> launch() {
        auto made = std::make_unique<AppDelegate>(
            [] { return std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR)); },
            [] { return std::make_unique<RecordingStatusIcon>(); });
        made->appState().setPollIntervalSeconds(3600.0);
        QSignalSpy refreshed(made.get(), &AppDelegate::refreshFinished);
        made->setUp();
        EXPECT_TRUE(waitUntil([&] { return refreshed.size() == 1; }));
        return made;
    }

    QWidget* window() { return delegate->preferencesWindow()->window(); }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(PreferencesWindow, NoWindowOpensAtLaunch) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(widget->isVisible()) << widget->metaObject()->className();
    }
}

TEST_F(PreferencesWindow, IsMadeOnceAndReused) {
    PreferencesWindowController* first = delegate->preferencesWindow();
    EXPECT_EQ(delegate->preferencesWindow(), first);
    EXPECT_EQ(first->appState(), &delegate->appState());
    EXPECT_FALSE(first->window()->isVisible()) << "reading it does not show it";
}

TEST_F(PreferencesWindow, ChosenTwiceGivesOneWindowInFrontWithTheFocus) {
    delegate->openPreferences();
    QWidget* shown = window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(shown));

    // Another window of ours takes the front and the focus in between.
    delegate->openAbout();
    ASSERT_TRUE(QTest::qWaitForWindowActive(delegate->aboutDialog()));

    delegate->openPreferences();
    EXPECT_EQ(window(), shown);
    EXPECT_TRUE(QTest::qWaitForWindowActive(shown));
    EXPECT_EQ(QApplication::activeWindow(), shown);
    int preferencesWindows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        preferencesWindows += widget->windowTitle() == QStringLiteral("Preferences") ? 1 : 0;
    }
    EXPECT_EQ(preferencesWindows, 1);
}

TEST_F(PreferencesWindow, MinimisedWindowComesBackInFront) {
    delegate->openPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    window()->showMinimized();
    ASSERT_TRUE(waitUntil([&] { return window()->isMinimized(); }));

    delegate->openPreferences();
    EXPECT_TRUE(waitUntil([&] { return !window()->isMinimized(); }));
    EXPECT_TRUE(QTest::qWaitForWindowActive(window()));
}

TEST_F(PreferencesWindow, ClosingHidesItAndReopeningKeepsTheFormsState) {
    delegate->openPreferences();
    QPointer<QWidget> shown = window();
    PreferencesView* view = delegate->preferencesWindow()->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
    // A failed brightness command leaves its message in the form, and only there.
    writeFile(
        dir.filePath("faults"),
        "LITRA_SIM_ONLY=brightness\nLITRA_SIM_FAIL_STATUS=3\nLITRA_SIM_FAIL_STDERR=unplugged\n");
    PreferencesForm& form = view->form();
    QSignalSpy finished(&form, &PreferencesForm::lightCommandFinished);
    form.brightnessEditingChanged(true);
    form.setBrightnessSlider(73.0);
    form.brightnessEditingChanged(false);
    ASSERT_TRUE(waitUntil([&] { return finished.size() == 1; }));
    const std::optional<QString> failure = form.lightActionError();
    ASSERT_TRUE(failure && failure->contains(QStringLiteral("unplugged")));

    EXPECT_TRUE(shown->close());
    QCoreApplication::processEvents();
    ASSERT_TRUE(shown) << "closing must not delete the window";
    EXPECT_FALSE(shown->isVisible());

    delegate->openPreferences();
    EXPECT_EQ(window(), shown.data());
    EXPECT_EQ(delegate->preferencesWindow()->view(), view);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(view->form().lightActionError(), failure);
}

TEST_F(PreferencesWindow, ShowsTheWholeFormAtItsFixedSizeAndCannotBeResized) {
    delegate->openPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    const QSize formSize(PreferencesView::formWidth, PreferencesView::formHeight);
    EXPECT_NE(formSize, PreferencesWindowController::creationSize);
    EXPECT_EQ(window()->size(), formSize);
    EXPECT_EQ(delegate->preferencesWindow()->view()->geometry(), QRect(QPoint(0, 0), formSize));
    EXPECT_EQ(window()->minimumSize(), formSize);
    EXPECT_EQ(window()->maximumSize(), formSize);

    window()->resize(800, 800);
    QCoreApplication::processEvents();
    EXPECT_EQ(window()->size(), formSize);

    EXPECT_EQ(window()->windowTitle(), QStringLiteral("Preferences"));
    const Qt::WindowFlags flags = window()->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(window()->testAttribute(Qt::WA_DeleteOnClose));
}

TEST_F(PreferencesWindow, FirstRunIsCentredOnTheScreen) {
    delegate->openPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    EXPECT_TRUE(isCentred(window()));
}

TEST_F(PreferencesWindow, MovedFrameIsSavedAndRestoredOnTheNextRun) {
    delegate->openPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    const QPoint moved = primaryArea().topLeft() + QPoint(37, 41);
    window()->move(moved);

    const auto saved = [] {
        return settingsStore().value(QLatin1String(PreferencesWindowController::frameAutosaveName));
    };
    ASSERT_TRUE(waitUntil([&] { return saved().toRect().topLeft() == moved; }))
        << saved().toString().toStdString();
    EXPECT_EQ(saved().toRect().size(), window()->frameGeometry().size());

    delegate.reset();
    delegate = launch();
    EXPECT_EQ(window()->frameGeometry().topLeft(), moved) << "restored before it is shown";
    delegate->openPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    EXPECT_EQ(window()->frameGeometry().topLeft(), moved);
}

TEST_F(PreferencesWindow, MoveJustBeforeQuittingIsKept) {
    delegate->openPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    const QPoint moved = primaryArea().topLeft() + QPoint(53, 29);
    window()->move(moved);
    ASSERT_TRUE(waitUntil([&] { return window()->frameGeometry().topLeft() == moved; }));

    delegate.reset();
    EXPECT_EQ(settingsStore()
                  .value(QLatin1String(PreferencesWindowController::frameAutosaveName))
                  .toRect()
                  .topLeft(),
              moved);
}

TEST_F(PreferencesWindow, ClosingSavesTheFrame) {
    delegate->openPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    settingsStore().remove(QLatin1String(PreferencesWindowController::frameAutosaveName));
    window()->close();
    EXPECT_EQ(settingsStore()
                  .value(QLatin1String(PreferencesWindowController::frameAutosaveName))
                  .toRect(),
              window()->frameGeometry());
}

struct SavedCase {
    const char* name;
    QVariant saved;
};

class SavedFrame : public PreferencesWindow, public testing::WithParamInterface<SavedCase> {};

TEST_P(SavedFrame, UnusableOneIsIgnoredAndTheWindowCentred) {
    delegate.reset();
    settingsStore().setValue(QLatin1String(PreferencesWindowController::frameAutosaveName),
                             GetParam().saved);
    delegate = launch();
    delegate->openPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
    EXPECT_TRUE(isCentred(window()));
    EXPECT_TRUE(placement::isReachable(window()->frameGeometry(), {primaryArea()}));
}

INSTANTIATE_TEST_SUITE_P(Values, SavedFrame,
                         testing::Values(SavedCase{"OffEveryScreen", QRect(20000, 20000, 460, 540)},
                                         SavedCase{"AboveTheScreen", QRect(100, -5000, 460, 540)},
                                         SavedCase{"OnlyAnEdgeOnScreen",
                                                   QRect(-450, 100, 460, 540)},
                                         SavedCase{"EmptyFrame", QRect(100, 100, 0, 0)},
                                         SavedCase{"NotAFrame", QStringLiteral("somewhere")}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreferencesWindow, ControllerProviderYieldsTheControllerOfTheMomentAndHoldsNothing) {
    AppDelegate unlaunched(
        [] { return std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR)); },
        [] { return std::make_unique<RecordingStatusIcon>(); });
    const ControllerProvider provider = unlaunched.controllerProvider();
    EXPECT_EQ(provider(), nullptr) << "no controller before launch";

    QSignalSpy unlaunchedRefreshed(&unlaunched, &AppDelegate::refreshFinished);
    unlaunched.setUp();
    ASSERT_NE(unlaunched.controller(), nullptr);
    EXPECT_EQ(provider(), unlaunched.controller()) << "the one made at launch, asked for later";

    auto shortLived = launch();
    const ControllerProvider dangling = shortLived->controllerProvider();
    const std::weak_ptr<LitraController> controller = shortLived->controller();
    shortLived.reset();
    EXPECT_EQ(dangling(), nullptr) << "yields none once the delegate is gone";
    EXPECT_TRUE(waitUntil([&] { return controller.expired(); }, 3000))
        << "the provider keeps the controller alive";
    // Its first refresh must not be left suspended when the test ends.
    EXPECT_TRUE(waitUntil([&] { return unlaunchedRefreshed.size() == 1; }));
}

TEST_F(PreferencesWindow, FormSendsLightCommandsThroughTheDelegatesController) {
    ASSERT_EQ(delegate->appState().deviceCount(), 2);
    PreferencesForm& form = delegate->preferencesWindow()->view()->form();
    QSignalSpy finished(&form, &PreferencesForm::lightCommandFinished);
    form.brightnessEditingChanged(true);
    form.setBrightnessSlider(30.0);
    form.brightnessEditingChanged(false);
    ASSERT_TRUE(waitUntil([&] { return finished.size() == 1; }));
    EXPECT_EQ(form.lightActionError(), std::nullopt);
    EXPECT_TRUE(readFile(dir.filePath("runs.log")).contains(" brightness --percentage 30\n"));
}

TEST(PreferencesWindowWithoutController, FormCopesWhenLaunchFoundNoController) {
    QTemporaryDir dir;
    AppDelegate delegate(
        [&] { return std::make_shared<LitraController>(dir.filePath(QStringLiteral("none"))); },
        [] { return std::make_unique<RecordingStatusIcon>(); });
    delegate.setUp();
    ASSERT_EQ(delegate.controller(), nullptr);
    delegate.openPreferences();
    PreferencesForm& form = delegate.preferencesWindow()->view()->form();
    QSignalSpy finished(&form, &PreferencesForm::lightCommandFinished);
    form.brightnessEditingChanged(true);
    form.setBrightnessSlider(30.0);
    form.brightnessEditingChanged(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.size(), 0) << "nothing to send the command to";
    EXPECT_EQ(form.lightActionError(), std::nullopt);
    EXPECT_TRUE(delegate.preferencesWindow()->window()->isVisible());
}

TEST_F(PreferencesWindow, AboutIsOneDialogReusedAndBroughtToTheFront) {
    EXPECT_EQ(delegate->aboutDialog(), nullptr);
    delegate->openAbout();
    AboutDialog* about = delegate->aboutDialog();
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    EXPECT_FALSE(about->creditsLabel()->text().isEmpty());

    delegate->openPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    about->showMinimized();

    delegate->openAbout();
    EXPECT_EQ(delegate->aboutDialog(), about);
    EXPECT_TRUE(waitUntil([&] { return !about->isMinimized(); }));
    EXPECT_TRUE(QTest::qWaitForWindowActive(about));
}

}  // namespace
