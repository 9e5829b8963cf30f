// The light simulator, run for real as a child process against a temporary state file.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>
#include <utility>
#include <vector>

using testsupport::lightsJson;
using testsupport::readFile;
using testsupport::writeFile;
using Pair = std::pair<QJsonValue, QJsonValue>;

namespace {

// A panel of 20-250 lm and 2700-6500 K and a bar of 30-400 lm and 3000-6000 K, both off.
const testsupport::Light bar{.minLumen = 30, .maxLumen = 400, .minKelvin = 3000, .maxKelvin = 6000};
const QByteArray twoLights = "{\"lights\":" + lightsJson({{}, bar}) + "}";

class Simulator : public testing::Test {
protected:
    void SetUp() override { writeFile(path("lights.json"), twoLights); }
    QString path(const QString& name) const { return dir.filePath(name); }
    QByteArray state() const { return readFile(path("lights.json")); }
    // One key of both lights.
    Pair both(const char* key) const {
        const QJsonArray lights = QJsonDocument::fromJson(state()).object()["lights"].toArray();
        return {lights[0].toObject()[key], lights[1].toObject()[key]};
    }

    // Starts it on the state file with these settings ("KEY=VALUE") and no other environment.
    std::unique_ptr<QProcess> start(const QStringList& args, const QStringList& env = {}) const {
        auto process = std::make_unique<QProcess>();
        process->setEnvironment(env + QStringList{"LITRA_SIM_STATE=" + path("lights.json")});
        process->start(GLOWDECK_SIMULATOR, args);
        return process;
    }
    std::unique_ptr<QProcess> run(const QStringList& args, const QStringList& env = {}) const {
        auto process = start(args, env);
        EXPECT_TRUE(process->waitForFinished(30000));
        return process;
    }

    QTemporaryDir dir;
};

TEST_F(Simulator, ToggleSwitchesAllOffWhenAnyIsOnElseAllOn) {
    writeFile(path("lights.json"), "{\"lights\":" + lightsJson({{.on = true}, {}}) + "}");
    for (bool on : {false, true, false}) {  // from mixed, all off, all on
        ASSERT_EQ(run({"toggle"})->exitCode(), 0);
        EXPECT_EQ(both("is_on"), Pair(on, on));
    }
}

TEST_F(Simulator, LevelsGoToEveryLightWhoseRangeHoldsThem) {
    const auto after = [&](const QStringList& command, const char* key) {
        writeFile(path("lights.json"), twoLights);
        EXPECT_EQ(run(command)->exitCode(), 0) << command.join(' ').toStdString();
        return both(key);
    };
    // Brightness rounds half up and keeps to each light's least; only the panel holds 2800 K.
    EXPECT_EQ(after({"brightness", "--percentage", "50"}, "brightness_in_lumen"), Pair(125, 200));
    EXPECT_EQ(after({"brightness", "--percentage", "9"}, "brightness_in_lumen"), Pair(23, 36));
    EXPECT_EQ(after({"brightness", "--percentage", "1"}, "brightness_in_lumen"), Pair(20, 30));
    EXPECT_EQ(after({"temperature", "--value", "2800"}, "temperature_in_kelvin"), Pair(2800, 4000));
    EXPECT_EQ(after({"temperature", "--value", "6000"}, "temperature_in_kelvin"), Pair(6000, 6000));
    writeFile(path("lights.json"), twoLights);
    for (const char* refused : {"6600", "2750"}) {  // held by no light; off the 100 K grid
        EXPECT_NE(run({"temperature", "--value", refused})->exitCode(), 0) << refused;
        EXPECT_EQ(state().toStdString(), twoLights.toStdString());
    }
}

TEST_F(Simulator, SerialNumberPicksOneLightAndRefusalsChangeNothing) {
    const QByteArray mixed = "{\"lights\":" + lightsJson({{.on = true}, bar}) + "}";
    struct Case {
        QStringList args;
        int exit;
        const char* key;
        Pair after;  // T-1, T-2; refusals leave the file as it was
        QStringList env = {};
    };
    const Case cases[] = {
        {{"toggle", "--serial-number", "T-2"}, 0, "is_on", {true, true}},
        {{"off", "--serial-number", "T-1"}, 0, "is_on", {false, false}},
        {{"on"}, 0, "is_on", {true, true}},
        {{"off"}, 0, "is_on", {false, false}},
        {{"brightness", "--serial-number", "T-2", "--percentage", "50"}, 0, "brightness_in_lumen",
         {100, 200}},
        {{"temperature", "--value", "2800", "--serial-number", "T-2"}, 1, nullptr, {}},
        {{"on", "--serial-number", "T-9"}, 1, nullptr, {}},
        {{"toggle", "--serial-number"}, 2, nullptr, {}},
        {{"off", "--serial-number", ""}, 2, nullptr, {}},
        {{"on", "--serial-number", "T-1", "--serial-number", "T-2"}, 2, nullptr, {}},
        {{"off", "--percentage", "5"}, 2, nullptr, {}},
        {{"on"}, 4, nullptr, {}, {"LITRA_SIM_ONLY=on,toggle", "LITRA_SIM_FAIL_STATUS=4"}},
        {{"off"}, 0, "is_on", {false, false}, {"LITRA_SIM_ONLY=on", "LITRA_SIM_FAIL_STATUS=4"}},
    };
    for (const Case& c : cases) {
        writeFile(path("lights.json"), mixed);
        const auto process = run(c.args, c.env);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(process->exitCode(), c.exit) << what;
        if (c.key) {
            EXPECT_EQ(both(c.key), c.after) << what;
        } else {
            EXPECT_EQ(state(), mixed) << what;
        }
        if (c.exit == 1 || c.exit == 2) {
            EXPECT_EQ(process->readAllStandardError().count('\n'), 1) << what;
        }
    }
    EXPECT_TRUE(run({"on", "--serial-number", "T-9"})->readAllStandardError().contains("\"T-9\""));
}

TEST_F(Simulator, CorruptStateIsRefusedAndNeverOverwritten) {
    for (const char* corrupt : {"", "{\"lights\": [", "{\"lights\": [1]}", "{\"lights\": []} []"}) {
        writeFile(path("lights.json"), corrupt);
        EXPECT_EQ(run({"toggle"})->exitCode(), 1) << corrupt;
        EXPECT_EQ(state().toStdString(), corrupt);
    }
}

TEST_F(Simulator, ConcurrentTogglesKeepTheFileWholeAndEachLogsOneLine) {
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < 20; ++i) {
        processes.push_back(start({"toggle"}, {"LITRA_SIM_LOG=" + path("log")}));
    }
    for (auto& process : processes) {
        EXPECT_TRUE(process->waitForFinished(30000) && process->exitCode() == 0);
    }
    EXPECT_EQ(both("is_on"), Pair(false, false)) << "whole, and an even number of toggles";
    EXPECT_EQ(readFile(path("log")).count(" toggle\n"), 20);
}

TEST_F(Simulator, InjectedFaultsChangeNothing) {
    const auto failed = run({"toggle"}, {"LITRA_SIM_FAIL_STATUS=3", "LITRA_SIM_FAIL_STDERR=a\nb",
                                         "LITRA_SIM_LOG=" + path("log")});
    EXPECT_EQ(failed->exitCode(), 3);
    EXPECT_EQ(failed->readAllStandardError(), "a\nb");
    EXPECT_TRUE(readFile(path("log")).endsWith(" toggle\n"));
    for (const char* kill : {"LITRA_SIM_KILL_SIGNAL=9", "LITRA_SIM_KILL_SIGNAL=15"}) {
        EXPECT_EQ(run({"toggle"}, {kill})->exitStatus(), QProcess::CrashExit) << kill;
    }
    writeFile(path("out"), "not a report\xff");
    const auto replaced = run({"toggle"}, {"LITRA_SIM_STDOUT_FILE=" + path("out")});
    EXPECT_EQ(replaced->readAllStandardOutput(), "not a report\xff");
    const auto hanging = start({"toggle"}, {"LITRA_SIM_HANG=1"});
    EXPECT_FALSE(hanging->waitForFinished(300));
    hanging->terminate();
    EXPECT_TRUE(hanging->waitForFinished() && hanging->exitStatus() == QProcess::CrashExit);
    EXPECT_EQ(state().toStdString(), twoLights.toStdString());
}

TEST_F(Simulator, FaultsFileOverridesTheEnvironmentAndIsChecked) {
    const QStringList env = {"LITRA_SIM_FAIL_STATUS=3", "LITRA_SIM_FAULTS_FILE=" + path("faults")};
    EXPECT_EQ(run({"toggle"}, env)->exitCode(), 3) << "no file yet";
    writeFile(path("faults"), "# a comment\nLITRA_SIM_FAIL_STATUS=5\nLITRA_SIM_ONLY=toggle\n");
    EXPECT_EQ(run({"toggle"}, env)->exitCode(), 5);
    EXPECT_EQ(run({"devices", "--json"}, env)->exitCode(), 0) << "only toggle fails";
    writeFile(path("faults"), "LITRA_SIM_HUNG=1\n");  // a misspelt fault must not pass unseen
    EXPECT_TRUE(run({"toggle"}, env)->readAllStandardError().contains("LITRA_SIM_HUNG"));
}

}  // namespace
