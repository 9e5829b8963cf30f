#include "AppState.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QSignalSpy>

namespace {

// The real settings file in the test's temporary home.
class PollInterval : public testing::Test {
protected:
    void SetUp() override { QFile::remove(path()); }
    static QString path() { return settings().fileName(); }
    static QSettings settings() { return QSettings("Glowdeck", "Glowdeck"); }
    static void writeRaw(const QByteArray& ini) { testsupport::writeFile(path(), ini); }
};

TEST_F(PollInterval, LivesInTheUsersConfigFolder) {
    EXPECT_EQ(path(), qEnvironmentVariable("XDG_CONFIG_HOME") + "/Glowdeck/Glowdeck.conf");
}

struct StoredCase {
    const char* name;
    QByteArray line;  // the [General] entry, or empty for none
    double expected;
};

class StoredInterval : public PollInterval, public testing::WithParamInterface<StoredCase> {};

TEST_P(StoredInterval, IsUsedOnlyWhenUsable) {
    writeRaw("[General]\n" + GetParam().line + "\n");
    const QByteArray before = testsupport::readFile(path());
    AppState state;
    EXPECT_EQ(state.pollIntervalSeconds(), GetParam().expected);
    EXPECT_EQ(testsupport::readFile(path()), before) << "reading must never write";
}

INSTANTIATE_TEST_SUITE_P(
    Files, StoredInterval,
    testing::Values(StoredCase{"Missing", "", 5.0},
                    StoredCase{"Fraction", "pollIntervalSeconds=2.5", 2.5},
                    StoredCase{"Zero", "pollIntervalSeconds=0", 5.0},
                    StoredCase{"Negative", "pollIntervalSeconds=-3", 5.0},
                    StoredCase{"NotANumber", "pollIntervalSeconds=soon", 5.0},
                    StoredCase{"NaN", "pollIntervalSeconds=nan", 5.0},
                    StoredCase{"Infinite", "pollIntervalSeconds=inf", 5.0},
                    StoredCase{"TooLargeForNanoseconds", "pollIntervalSeconds=1e11", 5.0},
                    StoredCase{"LargeButUsable", "pollIntervalSeconds=86400", 86400.0},
                    StoredCase{"CorruptFile", "\x01\xff[[[=", 5.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PollInterval, EveryAssignmentNotifiesAndIsStored) {
    AppState state;
    QSignalSpy changes(&state, &AppState::changed);
    state.setPollIntervalSeconds(10.0);
    QFile::remove(path());
    state.setPollIntervalSeconds(10.0);  // unchanged, still written
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(settings().value("pollIntervalSeconds").toDouble(), 10.0);
    EXPECT_EQ(AppState().pollIntervalSeconds(), 10.0);
}

TEST(AppStateFields, StartWithTheirInitialValues) {
    AppState state;
    EXPECT_EQ(state.status(), LightStatus::noDevices());
    EXPECT_EQ(state.deviceCount(), 0);
    EXPECT_FALSE(state.brightnessPercentage());
    EXPECT_FALSE(state.temperatureKelvin());
    EXPECT_EQ(state.temperatureRange(), (TemperatureRange{2700.0, 6500.0}));
}

}  // namespace
