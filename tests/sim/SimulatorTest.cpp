// The light simulator, run for real as a child process against a temporary state file.

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <memory>
#include <optional>
#include <set>
#include <vector>

using Json = nlohmann::ordered_json;
using testsupport::readFile;
using testsupport::writeFile;
using Env = std::vector<std::pair<QString, QString>>;  // a null value removes the variable

// Readable test parameters in test names and failure messages.
void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '"' << list.join("\" \"").toStdString() << '"';
}

namespace {

const std::string kReportKeys =
    "serial_number device_type is_on brightness_in_lumen temperature_in_kelvin "
    "minimum_brightness_in_lumen maximum_brightness_in_lumen minimum_temperature_in_kelvin "
    "maximum_temperature_in_kelvin";

std::string keysOf(const Json& object) {
    std::string keys;
    for (const auto& [key, value] : object.items())
        keys += (keys.empty() ? "" : " ") + key;
    return keys;
}

struct Result {
    int exitCode = -1;
    bool crashed = false;
    QByteArray out;
    QByteArray err;
};

Json light(const char* serial, std::optional<bool> on, int minLumen, int maxLumen, int minKelvin,
           int maxKelvin) {
    return {{"serial_number", serial},
            {"is_on", on ? Json(*on) : Json(nullptr)},
            {"brightness_in_lumen", 100},
            {"temperature_in_kelvin", 4000},
            {"minimum_brightness_in_lumen", minLumen},
            {"maximum_brightness_in_lumen", maxLumen},
            {"minimum_temperature_in_kelvin", minKelvin},
            {"maximum_temperature_in_kelvin", maxKelvin}};
}

// Panel: 20-250 lm, 2700-6500 K. Bar: 30-400 lm, 3000-6000 K.
Json twoLights(std::optional<bool> panelOn = false, std::optional<bool> barOn = false) {
    return {{"lights",
             {light("P", panelOn, 20, 250, 2700, 6500), light("B", barOn, 30, 400, 3000, 6000)}}};
}

template <typename T>
struct Named {
    const char* name;
    T value;
};

// Every table row below has a name, which gtest prints for it.
template <typename Row>
requires requires(const Row& row) {
    row.name;
}
std::ostream& operator<<(std::ostream& os, const Row& row) {
    return os << row.name;
}

const auto byName = [](const auto& info) { return std::string(info.param.name); };

bool isOneLine(const QByteArray& text) {
    return text.endsWith('\n') && text.count('\n') == 1;
}

class Simulator : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString statePath() const { return path("state/lights.json"); }

    void start(QProcess& process, const QStringList& args, const Env& env = {}) const {
        auto environment = QProcessEnvironment::systemEnvironment();
        for (const auto& key : environment.keys())
            if (key.startsWith("LITRA_SIM_"))
                environment.remove(key);
        environment.insert("LITRA_SIM_STATE", statePath());
        for (const auto& [key, value] : env) {
            if (value.isNull())
                environment.remove(key);
            else
                environment.insert(key, value);
        }
        process.setProcessEnvironment(environment);
        process.start(GLOWDECK_SIMULATOR, args);
        ASSERT_TRUE(process.waitForStarted()) << process.errorString().toStdString();
    }

    Result finish(QProcess& process) const {
        EXPECT_TRUE(process.waitForFinished(30'000));
        return {process.exitCode(), process.exitStatus() == QProcess::CrashExit,
                process.readAllStandardOutput(), process.readAllStandardError()};
    }

    Result run(const QStringList& args, const Env& env = {}) const {
        QProcess process;
        start(process, args, env);
        return finish(process);
    }

    void writeState(const Json& state) const { writeFile(statePath(), state.dump().c_str()); }
    Json lights() const { return Json::parse(readFile(statePath()).toStdString())["lights"]; }

private:
    QTemporaryDir dir_;
};

TEST_F(Simulator, FirstRunCreatesTwoLightsThatAreOffWithEveryReportKey) {
    const Result result = run({"devices", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());
    const Json report = Json::parse(result.out.toStdString());
    ASSERT_EQ(report.size(), 2u);
    for (const auto& entry : report) {
        EXPECT_EQ(keysOf(entry), kReportKeys);
        EXPECT_EQ(entry["is_on"], false);
    }
    const auto& [a, b] = std::pair(report[0], report[1]);
    EXPECT_NE(a["serial_number"], b["serial_number"]);
    EXPECT_NE(a["maximum_brightness_in_lumen"], b["maximum_brightness_in_lumen"]);
    EXPECT_NE(a["minimum_temperature_in_kelvin"], b["minimum_temperature_in_kelvin"]);
    EXPECT_LE(std::max(a["minimum_temperature_in_kelvin"], b["minimum_temperature_in_kelvin"]),
              std::min(a["maximum_temperature_in_kelvin"], b["maximum_temperature_in_kelvin"]));
    EXPECT_EQ(lights().size(), 2u);
}

struct Location {
    const char* name;
    Env env;
    const char* expected;  // below the temporary folder
};

class StateLocation : public Simulator, public ::testing::WithParamInterface<Location> {};

TEST_P(StateLocation, DefaultsFollowXdgStateHome) {
    Env env = {{"LITRA_SIM_STATE", QString()}};
    for (auto [key, value] : GetParam().env)
        env.emplace_back(key, value.isEmpty() ? value : path(value));
    ASSERT_EQ(run({"toggle"}, env).exitCode, 0);
    EXPECT_TRUE(QFile::exists(path(GetParam().expected)));
}

INSTANTIATE_TEST_SUITE_P(
    Simulator, StateLocation,
    ::testing::Values(Location{"XdgStateHome",
                               {{"XDG_STATE_HOME", "xdg"}, {"HOME", "home"}},
                               "xdg/glowdeck/simulated-lights.json"},
                      Location{"Home",
                               {{"XDG_STATE_HOME", QString()}, {"HOME", "home"}},
                               "home/.local/state/glowdeck/simulated-lights.json"},
                      Location{"EmptyXdgStateHome",
                               {{"XDG_STATE_HOME", ""}, {"HOME", "home"}},
                               "home/.local/state/glowdeck/simulated-lights.json"}),
    byName);

TEST_F(Simulator, ReportCarriesExactlyWhatTheStateHolds) {
    writeState({{"lights",
                 {{{"nickname", "desk"},
                   {"serial_number", "A"},
                   {"is_on", nullptr},
                   {"brightness_in_lumen", "80"}}}}});
    const Result result = run({"devices", "--json"});
    ASSERT_EQ(result.exitCode, 0);
    const Json entry = Json::parse(result.out.toStdString()).at(0);
    EXPECT_EQ(keysOf(entry), kReportKeys + " nickname");
    EXPECT_EQ(entry["serial_number"], "A");
    EXPECT_EQ(entry["brightness_in_lumen"], "80");
    EXPECT_TRUE(entry["is_on"].is_null());
    EXPECT_TRUE(entry["maximum_temperature_in_kelvin"].is_null());

    writeState({{"lights", Json::array()}});
    EXPECT_EQ(Json::parse(run({"devices", "--json"}).out.toStdString()), Json::array());
}

struct ToggleCase {
    const char* name;
    std::optional<bool> panel, bar;
    bool expected;
};

class Toggle : public Simulator, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(Toggle, AnyLightOnSwitchesAllOffElseAllOn) {
    writeState(twoLights(GetParam().panel, GetParam().bar));
    ASSERT_EQ(run({"toggle"}).exitCode, 0);
    EXPECT_EQ(lights()[0]["is_on"], GetParam().expected);
    EXPECT_EQ(lights()[1]["is_on"], GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Simulator, Toggle,
                         ::testing::Values(ToggleCase{"Mixed", true, false, false},
                                           ToggleCase{"AllOff", false, false, true},
                                           ToggleCase{"AllOn", true, true, false},
                                           ToggleCase{"UnknownAndOff", std::nullopt, false, true},
                                           ToggleCase{"UnknownAndOn", std::nullopt, true, false}),
                         byName);

struct LevelCase {
    const char* name;
    QStringList args;
    const char* key;
    Json panel, bar;  // expected values; null when the command must fail and change nothing
};

class Levels : public Simulator, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(Levels, SetEveryLightThatCanTakeTheValue) {
    const LevelCase& c = GetParam();
    Json state = twoLights();
    state["lights"].push_back({{"serial_number", "bare"}});
    writeState(state);
    const Result result = run(c.args);
    if (c.panel.is_null()) {
        EXPECT_NE(result.exitCode, 0);
        EXPECT_TRUE(isOneLine(result.err)) << result.err.toStdString();
        EXPECT_EQ(lights(), state["lights"]);
        return;
    }
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(lights()[0][c.key], c.panel);
    EXPECT_EQ(lights()[1][c.key], c.bar);
    EXPECT_EQ(lights()[2], state["lights"][2]);
}

const char* const kLumen = "brightness_in_lumen";
const char* const kKelvin = "temperature_in_kelvin";

INSTANTIATE_TEST_SUITE_P(
    Simulator, Levels,
    ::testing::Values(
        LevelCase{"Half", {"brightness", "--percentage", "50"}, kLumen, 125, 200},
        LevelCase{"RoundsHalfUp", {"brightness", "--percentage", "9"}, kLumen, 23, 36},
        LevelCase{"MinimumOfOneLight", {"brightness", "--percentage", "8"}, kLumen, 20, 32},
        LevelCase{"MinimumOfBoth", {"brightness", "--percentage", "1"}, kLumen, 20, 30},
        LevelCase{"Full", {"brightness", "--percentage", "100"}, kLumen, 250, 400},
        LevelCase{"OnlyPanelHolds", {"temperature", "--value", "2800"}, kKelvin, 2800, 4000},
        LevelCase{"BothHoldUpperEdge", {"temperature", "--value", "6000"}, kKelvin, 6000, 6000},
        LevelCase{"BothHoldLowerEdge", {"temperature", "--value", "3000"}, kKelvin, 3000, 3000},
        LevelCase{"PanelUpperEdge", {"temperature", "--value", "6500"}, kKelvin, 6500, 4000},
        LevelCase{"NoneHoldsAbove", {"temperature", "--value", "6600"}, kKelvin, nullptr, nullptr},
        LevelCase{"NoneHoldsBelow", {"temperature", "--value", "2600"}, kKelvin, nullptr, nullptr},
        LevelCase{
            "NotMultipleOf100", {"temperature", "--value", "2750"}, kKelvin, nullptr, nullptr}),
    byName);

TEST_F(Simulator, TemperatureFailsWithoutLights) {
    writeState({{"lights", Json::array()}});
    const Result result = run({"temperature", "--value", "4000"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(isOneLine(result.err));
}

class InvalidArguments : public Simulator, public ::testing::WithParamInterface<QStringList> {};

TEST_P(InvalidArguments, FailWithOneLineAndChangeNothing) {
    writeState(twoLights(true, false));
    const QByteArray before = readFile(statePath());
    const Result result = run(GetParam());
    EXPECT_NE(result.exitCode, 0);
    EXPECT_FALSE(result.crashed);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_TRUE(isOneLine(result.err)) << result.err.toStdString();
    EXPECT_EQ(readFile(statePath()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Simulator, InvalidArguments,
    ::testing::Values(
        QStringList{}, QStringList{"lights"}, QStringList{"devices"},
        QStringList{"devices", "--pretty"}, QStringList{"devices", "--json", "x"},
        QStringList{"--json", "devices"}, QStringList{"toggle", "now"}, QStringList{"brightness"},
        QStringList{"brightness", "50"}, QStringList{"brightness", "--percentage"},
        QStringList{"brightness", "--value", "50"}, QStringList{"brightness", "--percentage", "0"},
        QStringList{"brightness", "--percentage", "101"},
        QStringList{"brightness", "--percentage", "-5"},
        QStringList{"brightness", "--percentage", "12abc"},
        QStringList{"brightness", "--percentage", ""},
        QStringList{"brightness", "--percentage", "+5"},
        QStringList{"brightness", "--percentage", " 5"},
        QStringList{"brightness", "--percentage", "5.0"},
        QStringList{"brightness", "--percentage", "99999999999999999999"},
        QStringList{"brightness", "--percentage", "50", "50"},
        QStringList{"temperature", "--value"}, QStringList{"temperature", "--value", "warm"},
        QStringList{"temperature", "--value", "-100"},
        QStringList{"temperature", "--percentage", "4000"}),
    [](const auto& info) {  // e.g. "14_brightness__percentage_12abc"
        QString name = QString::number(info.index) + "_" +
                       (info.param.isEmpty() ? "nothing" : info.param.join('_'));
        for (QChar& c : name)
            c = c.isLetterOrNumber() && c.unicode() < 128 ? c : QChar('_');
        return name.toStdString();
    });

class CorruptState : public Simulator, public ::testing::WithParamInterface<Named<QByteArray>> {};

TEST_P(CorruptState, IsReportedByNameAndNeverOverwritten) {
    writeFile(statePath(), GetParam().value);
    for (const QStringList& args : {QStringList{"devices", "--json"}, QStringList{"toggle"}}) {
        const Result result = run(args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_TRUE(isOneLine(result.err));
        EXPECT_TRUE(result.err.contains(statePath().toUtf8())) << result.err.toStdString();
        EXPECT_EQ(readFile(statePath()), GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Simulator, CorruptState,
    ::testing::Values(Named<QByteArray>{"Empty", ""},
                      Named<QByteArray>{"Truncated", "{\"lights\": ["},
                      Named<QByteArray>{"TopLevelArray", "[]"},
                      Named<QByteArray>{"LightsNotArray", "{\"lights\": 5}"},
                      Named<QByteArray>{"LightNotObject", "{\"lights\": [1]}"},
                      Named<QByteArray>{"NoLights", "{\"lamps\": []}"},
                      Named<QByteArray>{"TrailingContent", "{\"lights\": []} []"},
                      Named<QByteArray>{"NotUtf8", "{\"lights\": [\"\xff\"]}"}),
    byName);

TEST_F(Simulator, ConcurrentTogglesKeepTheFileWholeAndEachRunLogsOneLine) {
    const QString log = path("runs.log");
    std::vector<std::unique_ptr<QProcess>> processes;
    std::set<qint64> pids;
    for (int i = 0; i < 20; ++i) {
        processes.push_back(std::make_unique<QProcess>());
        start(*processes.back(), {"toggle"}, {{"LITRA_SIM_LOG", log}});
        pids.insert(processes.back()->processId());
    }
    for (auto& process : processes)
        EXPECT_EQ(finish(*process).exitCode, 0);

    ASSERT_EQ(lights().size(), 2u);  // parses: no torn or interleaved writes
    EXPECT_EQ(lights()[0]["is_on"], false) << "an even number of toggles ends where it began";
    const QList<QByteArray> lines = readFile(log).split('\n');
    ASSERT_EQ(lines.size(), 21);
    EXPECT_TRUE(lines.last().isEmpty());
    std::set<qint64> logged;
    for (const QByteArray& line : lines.mid(0, 20)) {
        const QList<QByteArray> fields = line.split(' ');
        ASSERT_EQ(fields.size(), 4) << line.toStdString();
        logged.insert(fields[0].toLongLong());
        EXPECT_LE(fields[1].toLongLong(), fields[2].toLongLong());
        EXPECT_EQ(fields[3], "toggle");
    }
    EXPECT_EQ(logged, pids);
}

TEST_F(Simulator, FailStatusWritesStderrVerbatimChangesNothingAndLogs) {
    writeState(twoLights());
    const Env env = {{"LITRA_SIM_FAIL_STATUS", "3"},
                     {"LITRA_SIM_FAIL_STDERR", "boom\nsecond"},
                     {"LITRA_SIM_LOG", path("log")}};
    const Result result = run({"toggle"}, env);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "boom\nsecond");
    EXPECT_EQ(lights(), twoLights()["lights"]);
    EXPECT_TRUE(readFile(path("log")).endsWith(" toggle\n"));
}

TEST_F(Simulator, StdoutFileReplacesTheOutputAndChangesNothing) {
    const QByteArray bytes("{\"not\": \"a report\"}\xff", 20);
    writeFile(path("out"), bytes);
    writeState(twoLights());
    for (const QStringList& args : {QStringList{"devices", "--json"}, QStringList{"toggle"}}) {
        const Result result = run(args, {{"LITRA_SIM_STDOUT_FILE", path("out")}});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, bytes);
    }
    EXPECT_EQ(lights(), twoLights()["lights"]);
}

TEST_F(Simulator, FaultsFileOverridesTheEnvironmentWhenItExists) {
    const Env env = {{"LITRA_SIM_FAIL_STATUS", "3"}, {"LITRA_SIM_FAULTS_FILE", path("faults")}};
    EXPECT_EQ(run({"toggle"}, env).exitCode, 3);
    writeFile(path("faults"),
              "# set by the test\nLITRA_SIM_FAIL_STATUS=5\nLITRA_SIM_FAIL_STDERR=x\\n\n");
    const Result overridden = run({"toggle"}, env);
    EXPECT_EQ(overridden.exitCode, 5);
    EXPECT_EQ(overridden.err, "x\n");
    writeFile(path("faults"), "LITRA_SIM_FAIL_STATUS=\n");
    EXPECT_EQ(run({"toggle"}, env).exitCode, 0);
}

TEST_F(Simulator, OnlyLimitsFaultsToTheNamedCommandsButLogsAll) {
    const Env env = {{"LITRA_SIM_ONLY", "brightness,toggle"},
                     {"LITRA_SIM_FAIL_STATUS", "4"},
                     {"LITRA_SIM_LOG", path("log")}};
    EXPECT_EQ(run({"devices", "--json"}, env).exitCode, 0);
    EXPECT_EQ(run({"toggle"}, env).exitCode, 4);
    EXPECT_EQ(readFile(path("log")).count('\n'), 2);
}

TEST_F(Simulator, KillSignalEndsTheRunWithoutChangeOrLogLine) {
    writeState(twoLights());
    for (const int signal : {SIGKILL, SIGTERM}) {
        const Result result = run({"toggle"}, {{"LITRA_SIM_KILL_SIGNAL", QString::number(signal)},
                                               {"LITRA_SIM_LOG", path("log")}});
        EXPECT_TRUE(result.crashed) << signal;
    }
    EXPECT_EQ(lights(), twoLights()["lights"]);
    EXPECT_TRUE(readFile(path("log")).isEmpty());
}

TEST_F(Simulator, HangingRunEndsOnSigterm) {
    QProcess process;
    start(process, {"toggle"}, {{"LITRA_SIM_HANG", "1"}});
    process.terminate();
    EXPECT_TRUE(finish(process).crashed);
}

class InvalidFaults : public Simulator, public ::testing::WithParamInterface<Named<Env>> {};

TEST_P(InvalidFaults, AreRefusedByName) {
    writeState(twoLights());
    Env env = GetParam().value;
    if (env[0].first == "LITRA_SIM_FAULTS_FILE") {
        writeFile(path("faults"), env[0].second.toUtf8());
        env[0].second = path("faults");
    }
    const Result result = run({"toggle"}, env);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(isOneLine(result.err));
    EXPECT_TRUE(result.err.contains("LITRA_SIM_")) << result.err.toStdString();
    EXPECT_EQ(lights(), twoLights()["lights"]);
}

INSTANTIATE_TEST_SUITE_P(
    Simulator, InvalidFaults,
    ::testing::Values(
        Named<Env>{"DelayNotNumber", {{"LITRA_SIM_DELAY_MS", "soon"}}},
        Named<Env>{"StatusAbove255", {{"LITRA_SIM_FAIL_STATUS", "256"}}},
        Named<Env>{"OnlyUnknownCommand", {{"LITRA_SIM_ONLY", "toggle,toggel"}}},
        Named<Env>{"HangNotZeroOrOne", {{"LITRA_SIM_HANG", "yes"}}},
        Named<Env>{"SignalZero", {{"LITRA_SIM_KILL_SIGNAL", "0"}}},
        Named<Env>{"FileLineWithoutEquals", {{"LITRA_SIM_FAULTS_FILE", "LITRA_SIM_HANG 1\n"}}},
        Named<Env>{"FileUnknownKey", {{"LITRA_SIM_FAULTS_FILE", "LITRA_SIM_HUNG=1\n"}}}),
    byName);

TEST_F(Simulator, HelpNamesEveryFaultKey) {
    const Result result = run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* key :
         {"LITRA_SIM_STATE", "LITRA_SIM_FAULTS_FILE", "LITRA_SIM_ONLY", "LITRA_SIM_FAIL_STATUS",
          "LITRA_SIM_FAIL_STDERR", "LITRA_SIM_STDOUT_FILE", "LITRA_SIM_DELAY_MS", "LITRA_SIM_HANG",
          "LITRA_SIM_KILL_SIGNAL", "LITRA_SIM_LOG"})
        EXPECT_TRUE(result.out.contains(key)) << key;
}

}  // namespace
