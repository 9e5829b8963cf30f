// What the user sees when something around Glowdeck fails, that Glowdeck keeps serving the user
// through it, and that nothing stored is lost. Runs as root do not feel file permissions, so
// "cannot be read" and "cannot be written" are made with a folder where a file should be, or a
// file where a folder should be.
#include "FaultRig.h"
#include "LitraController.h"
#include "LitraError.h"
#include "PreferencesView.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QTimer>

#include <functional>

using namespace std::chrono_literals;
using faults::Rig;
using testsupport::waitUntil;
using testsupport::writeFile;

namespace {

using Make = std::function<void(Rig&)>;

Make simulatorFaults(const QByteArray& lines) {
    return [lines](Rig& rig) { rig.setFaults(lines); };
}

// The simulator writes these bytes instead of its own output, exits 0 and changes nothing.
Make prints(const QByteArray& bytes) {
    return [bytes](Rig& rig) {
        writeFile(rig.path("stdout"), bytes);
        rig.setFaults("LITRA_SIM_STDOUT_FILE=" + rig.path("stdout").toUtf8() + "\n");
    };
}

Make litraScript(const QByteArray& body, const QByteArray& faultLines = {}) {
    return [body, faultLines](Rig& rig) {
        rig.writeLitra(body);
        rig.setFaults(faultLines);
    };
}

const QByteArray megabytes(3 * 1024 * 1024, 'x');

// A text the user can read: `expected` exactly, or, when its first line ends in "…", that
// line's beginning cut short to a few lines' worth, and the other lines exactly.
void expectShown(const QString& shown, const QString& expected) {
    const QString first = expected.section(u'\n', 0, 0);
    if (!first.endsWith(QStringLiteral("…"))) {
        EXPECT_EQ(shown, expected);
        return;
    }
    const QString shownFirst = shown.section(u'\n', 0, 0);
    EXPECT_TRUE(shownFirst.startsWith(first.chopped(1))) << shown.left(200).toStdString();
    EXPECT_TRUE(shownFirst.endsWith(QStringLiteral("…"))) << shown.right(200).toStdString();
    EXPECT_LE(shownFirst.size(), 600);
    EXPECT_EQ(shown.section(u'\n', 1), expected.section(u'\n', 1));
}

// ---------------------------------------------------------------------------------------------
// The litra executable misbehaves while Glowdeck runs.

struct ToolFault {
    const char* name;
    Make make;
    // The tool tip after "Refresh" and after a click: the headline, which is also the menu's
    // status line and the form's "State", then what to do; {litra} stands for the executable's
    // path.
    QString shown;
    // The red text under the light sliders after a brightness command.
    std::optional<QString> footnote;
    std::chrono::milliseconds timeLimit = ProcessLimits{}.timeout;
};
void PrintTo(const ToolFault& row, std::ostream* out) {
    *out << row.name;
}

// What to do, after the headline.
const QString lightsAdvice = QStringLiteral("Check that the lights are plugged in, then Refresh");
const QString notLitraAdvice =
    QStringLiteral("Is it the litra tool? Choose the right one in Preferences");
const QString notLitra = "Error: Failed to parse litra output\n" + notLitraAdvice;
const QString chooseAgain = QStringLiteral("Choose the litra tool again in Preferences");
const QString hangAdvice = QStringLiteral("Unplug the lights and plug them in again, then Refresh");

const ToolFault toolFaults[] = {
    {"ExitsNonZeroWithAReason",
     simulatorFaults("LITRA_SIM_FAIL_STATUS=3\nLITRA_SIM_FAIL_STDERR=no light answered\\n\n"),
     "Error: litra exited 3: no light answered\n" + lightsAdvice,
     "litra exited 3: no light answered\n"},
    {"ExitsNonZeroWithSeveralLinesOfItsOwnError",
     simulatorFaults("LITRA_SIM_FAIL_STATUS=1\nLITRA_SIM_FAIL_STDERR=Error: HidError(busy)\\n\\n"
                     "Usage: litra <COMMAND>\\n\n"),
     "Error: litra exited 1: HidError(busy)\n" + lightsAdvice,
     "litra exited 1: Error: HidError(busy)\n\nUsage: litra <COMMAND>\n"},
    {"ExitsNonZeroWithAReasonThatIsNotUtf8",
     simulatorFaults("LITRA_SIM_FAIL_STATUS=2\nLITRA_SIM_FAIL_STDERR=\xff\xfe gone\n"),
     "Error: litra exited 2: \n" + lightsAdvice, "litra exited 2: "},
    {"ExitsNonZeroWithMegabytesOfReason",
     simulatorFaults("LITRA_SIM_FAIL_STATUS=1\nLITRA_SIM_FAIL_STDERR=" + megabytes + "\n"),
     "Error: litra exited 1: xxxxxxxxxx…\n" + lightsAdvice, "litra exited 1: xxxxxxxxxx…"},
    {"WritesInvalidJson", prints("[{\"is_on\":tru"), notLitra, std::nullopt},
    {"WritesWrongTypes", prints("[{\"is_on\":\"yes\"}]"), notLitra, std::nullopt},
    {"WritesBytesThatAreNotUtf8", prints("[{\"serial_number\":\"\xff\"}]"), notLitra, std::nullopt},
    {"WritesMegabytesOfBrokenJson", prints("[{\"is_on\":\"" + megabytes), notLitra, std::nullopt},
    {"WritesANumberTooLarge", prints("[{\"brightness_in_lumen\":1" + QByteArray(400, '0') + "}]"),
     notLitra, std::nullopt},
    {"WritesAThreeMegabyteReport",
     prints(QByteArray(megabytes.size(), ' ') + faults::twoLightsReport()), "Lights: Mixed",
     std::nullopt},
    {"WritesMoreThanTheOutputCap", prints(QByteArray(5 * 1024 * 1024, '[')),
     "Error: litra wrote more than 4 MiB of output and was stopped\n" + notLitraAdvice,
     "litra wrote more than 4 MiB of output and was stopped"},
    {"Hangs", simulatorFaults("LITRA_SIM_HANG=1\n"),
     "Error: litra did not finish within 1.5 seconds and was stopped\n" + hangAdvice,
     "litra did not finish within 1.5 seconds and was stopped", 1500ms},
    {"HangsInAProcessItStarted",
     litraScript("'" GLOWDECK_SIMULATOR "' \"$@\" &\necho $! >> pids\nwait\n",
                 "LITRA_SIM_HANG=1\n"),
     "Error: litra did not finish within 1.5 seconds and was stopped\n" + hangAdvice,
     "litra did not finish within 1.5 seconds and was stopped", 1500ms},
    {"HangsWithItsOutputClosed",
     litraScript("exec >/dev/null 2>&1\nexec '" GLOWDECK_SIMULATOR "' \"$@\"\n",
                 "LITRA_SIM_HANG=1\n"),
     "Error: litra did not finish within 1.5 seconds and was stopped\n" + hangAdvice,
     "litra did not finish within 1.5 seconds and was stopped", 1500ms},
    {"IsKilled", simulatorFaults("LITRA_SIM_KILL_SIGNAL=9\n"),
     "Error: litra was killed by SIGKILL (Killed)\nChoose Refresh; if it happens again, update "
     "litra",
     "litra was killed by SIGKILL (Killed)"},
    {"LosesItsExecutePermission",
     [](Rig& rig) { QFile::setPermissions(rig.litra(), QFile::ReadOwner | QFile::WriteOwner); },
     "Error: Could not start {litra}: Permission denied\nMake the tool executable, or choose "
     "another in Preferences",
     "Could not start {litra}: Permission denied"},
    {"IsDeleted", [](Rig& rig) { QFile::remove(rig.litra()); },
     "Error: Could not start {litra}: No such file or directory\n" + chooseAgain,
     "Could not start {litra}: No such file or directory"},
    {"IsReplacedByAFileThatIsNoProgram",
     [](Rig& rig) {
         QFile::remove(rig.litra());
         writeFile(rig.litra(), "just some text\n");
         QFile::setPermissions(rig.litra(), QFile::ReadOwner | QFile::ExeOwner);
     },
     "Error: Could not start {litra}: Exec format error\n" + chooseAgain,
     "Could not start {litra}: Exec format error"},
};

class ToolFaults : public testing::TestWithParam<ToolFault> {};

TEST_P(ToolFaults, AreShownServedAroundAndLeaveNothingBroken) {
    const ToolFault& fault = GetParam();
    Rig rig;
    ProcessLimits limits;
    limits.timeout = fault.timeLimit;
    ASSERT_TRUE(rig.launch(limits));
    ASSERT_EQ(rig.toolTip(), "Lights: Mixed");
    const QByteArray lights = rig.lights();
    const QByteArray settings = Rig::settings();

    fault.make(rig);
    const QString shown = QString(fault.shown).replace("{litra}", rig.litra());
    const qsizetype refreshes = rig.refreshCount();
    QElapsedTimer clock;
    clock.start();
    rig.delegate().refreshAction();
    // A run ends from the event loop: the menu is served before its outcome is known.
    rig.icon().click(StatusIcon::Click::right);
    EXPECT_EQ(rig.menuStatusLine(), "Lights: Mixed");
    ASSERT_TRUE(waitUntil([&] { return rig.refreshCount() > refreshes; }));
    if (fault.timeLimit < ProcessLimits{}.timeout) {  // a hang ends at the limit, not long after
        EXPECT_LT(clock.elapsed(), 2.5 * fault.timeLimit.count());
    }
    expectShown(rig.toolTip(), shown);
    const QString headline = shown.section(u'\n', 0, 0);
    // The menu's line is the headline, or its beginning in 64 characters with "…".
    expectShown(rig.menuStatusLine(), headline.size() <= 64 ? headline : headline.left(60) + "…");
    EXPECT_LE(rig.menuStatusLine().size(), 64);
    expectShown(rig.form().stateText(), headline);

    ASSERT_TRUE(rig.leftClick());
    expectShown(rig.toolTip(), shown);

    ASSERT_TRUE(rig.dragBrightnessTo(55));
    if (fault.footnote) {
        ASSERT_TRUE(rig.form().lightActionError());
        expectShown(*rig.form().lightActionError(),
                    QString(*fault.footnote).replace("{litra}", rig.litra()));
    } else {
        EXPECT_EQ(rig.form().lightActionError(), std::nullopt);
    }
    EXPECT_EQ(rig.lights(), lights) << "nothing reached the lights";
    EXPECT_TRUE(waitUntil([&] { return !rig.anyChildAlive(); }, 3000)) << "a child is left running";

    rig.heal();
    faults::expectServedAndSane(rig, settings);
}

INSTANTIATE_TEST_SUITE_P(Faults, ToolFaults, testing::ValuesIn(toolFaults),
                         [](const auto& info) { return info.param.name; });

// What litra says is cut short without splitting a character.
TEST(LongReasons, AreCutBetweenCharacters) {
    const QString reason = QString(499, 'x') + QStringLiteral("\U0001F4A1 and more");
    EXPECT_EQ(LitraError::nonZeroExit(1, reason).localizedDescription(),
              "litra exited 1: " + QString(499, 'x') + QStringLiteral("…"));
}

// What litra says may look like markup; the Preferences window shows it as written.
TEST(Markup, FromLitraIsShownAsWritten) {
    Rig rig;
    ASSERT_TRUE(rig.launch());
    PreferencesView view(&rig.state(), &rig.delegate().commands(),
                         LoginItemService::mainAppService());
    rig.setFaults("LITRA_SIM_FAIL_STATUS=1\nLITRA_SIM_FAIL_STDERR=<b>busy</b>\n");
    QSignalSpy finished(&view.form(), &PreferencesForm::lightCommandFinished);
    view.form().brightnessEditingChanged(true);
    view.form().brightnessEditingChanged(false);
    ASSERT_TRUE(waitUntil([&] { return finished.size() > 0; }));
    ASSERT_TRUE(rig.chooseRefresh());

    const std::pair<const char*, QString> labels[] = {
        {"lightActionError", "litra exited 1: <b>busy</b>"},
        {"stateValue", "Error: litra exited 1: <b>busy</b>"},
    };
    for (const auto& [name, text] : labels) {
        auto* label = view.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        label->setSelection(0, static_cast<int>(text.size()));
        EXPECT_EQ(label->selectedText(), text) << name;
    }
}

// ---------------------------------------------------------------------------------------------
// The executable is not there when Glowdeck starts: the error stays for the whole run.

TEST(MissingAtStart, ShowsTheErrorAndServesEveryActionWithoutEffect) {
    Rig rig;
    QFile::remove(rig.litra());
    const QByteArray settings = Rig::settings();
    ASSERT_TRUE(rig.launch());
    const QString headline = QStringLiteral("Error: Bundled litra binary missing");
    const QString shown = headline + "\nReinstall Glowdeck, or choose a litra tool in Preferences";
    EXPECT_EQ(rig.toolTip(), shown);
    EXPECT_EQ(rig.menuStatusLine(), headline);
    EXPECT_EQ(rig.form().stateText(), headline);

    rig.heal();  // too late: a controller is made once, at launch
    ASSERT_TRUE(rig.chooseRefresh());
    rig.icon().click(StatusIcon::Click::left);
    rig.form().brightnessEditingChanged(true);
    rig.form().brightnessEditingChanged(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.toolTip(), shown);
    EXPECT_EQ(rig.icon().presentations.size(), 1u);
    EXPECT_EQ(rig.form().lightActionError(), std::nullopt);
    EXPECT_EQ(rig.finishedRuns(), 0);
    EXPECT_EQ(rig.lights(), faults::twoLights());
    EXPECT_EQ(Rig::settings(), settings);
}

// ---------------------------------------------------------------------------------------------
// A light is plugged in or out between refreshes: each refresh asks litra once, so the status,
// the count and the figures it shows always agree.

TEST(Replugged, EachRefreshAsksOnceAndAgreesWithItself) {
    Rig rig;
    ASSERT_TRUE(rig.launch());
    const QByteArray settings = Rig::settings();
    writeFile(rig.path("other.json"), faults::noLights());
    // Every run swaps in the other set of lights when it is done.
    rig.writeLitra(R"(')" GLOWDECK_SIMULATOR R"(' "$@"; status=$?
mv "$LITRA_SIM_STATE" swap; mv other.json "$LITRA_SIM_STATE"; mv swap other.json; exit $status
)");
    for (auto [shown, count] : {std::pair{"Lights: Mixed", 2}, {"No Litra devices found", 0}}) {
        const int runs = rig.finishedRuns();
        ASSERT_TRUE(rig.chooseRefresh());
        EXPECT_EQ(rig.finishedRuns() - runs, 1);
        EXPECT_EQ(rig.menuStatusLine(), shown);
        EXPECT_EQ(rig.state().deviceCount(), count);
        EXPECT_EQ(rig.state().brightnessPercentage().has_value(), count > 0);
    }
    rig.heal();
    faults::expectServedAndSane(rig, settings);
}

// ---------------------------------------------------------------------------------------------
// litra works but leaves helpers running: one in its process group, one that left it with setsid.
// Each run ends its own, and Quit ends those of a run it stops.

TEST(Helpers, AreEndedAfterEveryRunAndAtQuit) {
    Rig rig;
    ASSERT_TRUE(rig.launch());
    rig.writeLitra(
        "sleep 120 & echo $! >> pids\n(setsid sleep 120 & echo $! >> pids)\n"
        "'" GLOWDECK_SIMULATOR "' \"$@\"\n[ \"$1\" = toggle ] && sleep 120\n");
    ASSERT_TRUE(rig.chooseRefresh());
    EXPECT_FALSE(rig.anyChildAlive());
    rig.icon().click(StatusIcon::Click::left);  // a toggle that hangs once its helpers run
    ASSERT_TRUE(waitUntil([&] { return rig.startedRuns() >= 6; }));
    rig.close();
    EXPECT_FALSE(rig.anyChildAlive());
}

// ---------------------------------------------------------------------------------------------
// The home folder cannot take what Glowdeck writes there: a file stands where the config
// folder should be.

TEST(HomeFaults, AreShownUnderTheToggleAndLeaveTheSettingsAlone) {
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    Rig rig;
    QDir().rename(config, config + ".aside");
    writeFile(config, "a file where the folder should be\n");
    ASSERT_TRUE(rig.launch());
    EXPECT_EQ(rig.toolTip(), "Lights: Mixed");
    EXPECT_EQ(rig.state().pollIntervalSeconds(), 5.0);

    rig.form().setLaunchAtLoginToggle(true);
    EXPECT_EQ(rig.form().launchError(),
              "Could not create the autostart folder " + config + "/autostart: Not a directory");
    EXPECT_FALSE(rig.form().launchAtLogin()) << "the toggle shows the real state again";
    rig.form().setPollIntervalSeconds(12);
    EXPECT_EQ(rig.state().saveError(AppState::pollIntervalKey),
              "Not saved: the settings file " + Rig::settingsFile() +
                  " or its folder cannot be written. The choice holds until Glowdeck quits.");
    EXPECT_EQ(rig.state().saveError(AppState::followCameraKey), std::nullopt);
    QFile::remove(config);
    QDir().rename(config + ".aside", config);
    EXPECT_EQ(rig.state().pollIntervalSeconds(), 12.0) << "the choice holds for this run";
    rig.form().setPollIntervalSeconds(12);
    EXPECT_EQ(rig.state().saveError(AppState::pollIntervalKey), std::nullopt);
    // Glowdeck's next use of its settings writes what could not be written before.
    EXPECT_EQ(AppState().pollIntervalSeconds(), 12.0);
    const QByteArray settingsNow = Rig::settings();
    EXPECT_TRUE(settingsNow.contains("pollIntervalSeconds=12\n"));
    EXPECT_TRUE(settingsNow.contains("geometry=kept\n")) << "the rest of the file is kept";

    rig.form().setLaunchAtLoginToggle(true);
    EXPECT_EQ(rig.form().launchError(), std::nullopt);
    EXPECT_TRUE(QFile::exists(config + "/autostart/glowdeck.desktop"));
    rig.form().setLaunchAtLoginToggle(false);
    EXPECT_FALSE(QFile::exists(config + "/autostart/glowdeck.desktop"));
    faults::expectServedAndSane(rig, settingsNow);
}

// ---------------------------------------------------------------------------------------------
// Quit while litra hangs under a refresh, a toggle and a brightness command.

TEST(Quit, StopsAHungChildAtOnceAndLeavesTheLightsWhole) {
    Rig rig;
    ASSERT_TRUE(rig.launch());
    const QByteArray settings = Rig::settings();
    const qsizetype started = rig.startedRuns();
    rig.setFaults("LITRA_SIM_HANG=1\n");
    // As the application entry wires it.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &rig.delegate(),
                     &AppDelegate::applicationWillTerminate);
    rig.choose("Refresh");
    rig.icon().click(StatusIcon::Click::left);
    rig.form().brightnessEditingChanged(true);
    rig.form().setBrightnessSlider(55);
    rig.form().brightnessEditingChanged(false);
    ASSERT_TRUE(waitUntil([&] { return rig.startedRuns() > started; }));
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, &rig.delegate(), [&] { rig.choose("Quit"); });
    QApplication::exec();

    EXPECT_LT(clock.elapsed(), 1000) << "quitting waits only for the grace";
    EXPECT_FALSE(rig.anyChildAlive());
    EXPECT_EQ(rig.startedRuns(), started + 1) << "nothing queued ran after Quit";
    EXPECT_FALSE(rig.delegate().isPolling());
    std::weak_ptr<LitraController> controller = rig.delegate().controller();
    rig.close();
    // What was in flight ends, reaches nobody and lets go of the controller.
    EXPECT_TRUE(waitUntil([&] { return controller.expired(); }));
    const QJsonObject lights = QJsonDocument::fromJson(rig.lights()).object();
    EXPECT_EQ(lights.value("lights").toArray().size(), 2);
    EXPECT_EQ(Rig::settings(), settings);
}

}  // namespace
