#include "AppState.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QSignalSpy>

#include <limits>

// Lights are written with designated initializers; the fields left out are meant to be empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

constexpr auto none = std::nullopt;

// The real settings file in the test's temporary home.
QString settingsFile() {
    return QSettings("Glowdeck", "Glowdeck").fileName();
}

TEST(PollInterval, UsableOnlyWhenTheLoopCanSleepItInNanoseconds) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double seconds : {1e-9, 2.5, 18446744073.0}) {
        EXPECT_TRUE(isUsablePollInterval(seconds)) << seconds;
    }
    for (double seconds : {0.0, -0.0, -3.0, 18446744074.0, 1e300, inf, -inf, nan}) {
        EXPECT_FALSE(isUsablePollInterval(seconds)) << seconds;
    }
}

TEST(PollInterval, StoredOneIsReadOnlyWhenUsableAndReadingNeverWrites) {
    // Each file differs in size from the one before it: the settings cache reads a file again
    // only when its size or time has changed.
    const std::pair<QByteArray, double> cases[] = {{"", 5.0},
                                                   {"pollIntervalSeconds=2.5", 2.5},
                                                   {"pollIntervalSeconds=-3", 5.0},
                                                   {"pollIntervalSeconds=soon", 5.0},
                                                   {"pollIntervalSeconds=86400", 86400.0},
                                                   {"\x01\xff[[[=", 5.0}};
    for (const auto& [line, expected] : cases) {
        const QByteArray file = "[General]\n" + line + "\n";
        testsupport::writeFile(settingsFile(), file);
        EXPECT_EQ(AppState().pollIntervalSeconds(), expected) << line.toStdString();
        EXPECT_EQ(testsupport::readFile(settingsFile()), file) << line.toStdString();
    }
}

TEST(PollInterval, EveryAssignmentNotifiesAndIsStored) {
    AppState state;
    QSignalSpy changes(&state, &AppState::changed);
    state.setPollIntervalSeconds(10.0);
    QFile::remove(settingsFile());
    state.setPollIntervalSeconds(10.0);  // unchanged, and still written
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(AppState().pollIntervalSeconds(), 10.0);
}

TEST(Metrics, MeansOfTheLightsThatReportThemAndTheRangeTheyShare) {
    using Value = std::optional<qint64>;
    const auto lumen = [](Value lumen, Value maximum) {
        return LitraDevice{.brightness_in_lumen = lumen, .maximum_brightness_in_lumen = maximum};
    };
    const auto kelvin = [](qint64 kelvin) { return LitraDevice{.temperature_in_kelvin = kelvin}; };
    const auto range = [](Value lower, Value upper) {
        return LitraDevice{.minimum_temperature_in_kelvin = lower,
                           .maximum_temperature_in_kelvin = upper};
    };
    // The state after one refresh found these lights, a refresh with other values before it.
    const auto after = [&](std::vector<LitraDevice> lights) {
        const LightsSnapshot before =
            LightsSnapshot::of({}, {lumen(1, 2), kelvin(3456), range(3100, 5900)}, false, {});
        return LightsSnapshot::of({}, std::move(lights), false, before.temperatureRange);
    };
    EXPECT_EQ(after({}).brightnessPercentage, none);
    EXPECT_EQ(after({}).temperatureKelvin, none);
    EXPECT_EQ(after({}).temperatureRange, (TemperatureRange{3100, 5900})) << "kept";
    EXPECT_EQ(after({lumen(300, 250)}).brightnessPercentage, 120.0);
    EXPECT_EQ(after({lumen(100, 250), lumen(250, 250)}).brightnessPercentage, 70.0);
    EXPECT_EQ(after({lumen(100, 0), lumen(100, none), lumen(50, 100)}).brightnessPercentage, 50);
    EXPECT_EQ(after({lumen(100, 0), lumen(none, 250)}).brightnessPercentage, none);
    EXPECT_EQ(after({kelvin(3000), kelvin(3001)}).temperatureKelvin, 3000.5) << "not rounded";
    EXPECT_EQ(after({range(3000, 6000), range(2700, 6500)}).temperatureRange,
              (TemperatureRange{3000, 6000}));
    EXPECT_EQ(after({range(2900, none), range(none, 6100)}).temperatureRange,
              (TemperatureRange{2900, 6100}));
    EXPECT_EQ(after({range(2700, 4000), range(4000, 6500)}).temperatureRange,
              (TemperatureRange{3100, 5900}))
        << "one point in common is no range";
}

}  // namespace
