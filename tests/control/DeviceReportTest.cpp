#include "DeviceReport.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

QByteArray dataFile(const char* name) {
    QFile file(QStringLiteral(GLOWDECK_TEST_DATA_DIR "/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

TEST(DeviceReport, DecodesAFullReportInOrder) {
    auto devices = decodeDeviceReport(dataFile("two-lights.json"));
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].serial_number, QStringLiteral("SN-B"));
    EXPECT_EQ(devices[1].serial_number, QStringLiteral("SN-A"));
    EXPECT_EQ(devices[0].device_type, QStringLiteral("Panel"));
    EXPECT_EQ(devices[0].is_on, true);
    EXPECT_EQ(devices[1].is_on, false);
    EXPECT_EQ(devices[0].brightness_in_lumen, 100);
    EXPECT_EQ(devices[0].temperature_in_kelvin, 4000);
    EXPECT_EQ(devices[0].minimum_brightness_in_lumen, 20);
    EXPECT_EQ(devices[0].maximum_brightness_in_lumen, 250);
    EXPECT_EQ(devices[0].minimum_temperature_in_kelvin, 2700);
    EXPECT_EQ(devices[0].maximum_temperature_in_kelvin, 6500);
}

TEST(DeviceReport, EmptyObjectNullsAndUnknownMembersLeaveFieldsEmpty) {
    auto devices = decodeDeviceReport(
        R"([{}, {"is_on": null, "serial_number": null, "name": "x", "extra": {"is_on": 3}},
            {"brightness_in_lumen": 5, "id": [1, {"a": "b"}]}])");
    ASSERT_EQ(devices.size(), 3u);
    for (const auto& d : devices) {
        EXPECT_FALSE(d.serial_number || d.device_type || d.is_on || d.temperature_in_kelvin ||
                     d.minimum_brightness_in_lumen || d.maximum_brightness_in_lumen ||
                     d.minimum_temperature_in_kelvin || d.maximum_temperature_in_kelvin);
    }
    EXPECT_EQ(devices[2].brightness_in_lumen, 5);
    EXPECT_TRUE(decodeDeviceReport("[]\n").empty());
    EXPECT_EQ(decodeDeviceReport("[" + QByteArray("{},").repeated(255) + "{}]").size(), 256u);
}

TEST(DeviceReport, AcceptsExactlyIntegralValuesInRange) {
    const std::pair<const char*, std::optional<qint64>> cases[] = {
        {"80", 80},
        {"80.0", 80},
        {"1e2", 100},
        {"-0", 0},
        {"0.0e5", 0},
        {"12.50e1", 125},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775807.0", INT64_MAX},
        {"80.5", {}},
        {"1e-1", {}},
        {"9223372036854775808", {}},
        {"-9223372036854775809", {}},
        {"1e19", {}},
        {"1e400", {}},
        {"\"80\"", {}},
        {"true", {}},
        {"[80]", {}}};
    for (const auto& [json, expected] : cases) {
        SCOPED_TRACE(json);
        const QByteArray report = QByteArray(R"([{"brightness_in_lumen": )") + json + "}]";
        if (expected) {
            EXPECT_EQ(decodeDeviceReport(report).at(0).brightness_in_lumen, expected);
        } else {
            EXPECT_THROW(decodeDeviceReport(report), ReportDecodeError);
        }
    }
}

struct FailureCase {
    const char* name;
    QByteArray report;
    const char* message;
};

const FailureCase failures[] = {
    {"Empty", "",
     "not valid JSON at line 1, column 1: unexpected end of input; "
     "expected '[', '{', or a literal"},
    {"FractionInSecondLight", R"([{"is_on": true}, {"brightness_in_lumen": 80.5}])",
     R"(expected an integer for "brightness_in_lumen" in light 2, found 80.5)"},
    {"IsOnAsNumber", R"([{"is_on": 1}])",
     R"(expected true or false for "is_on" in light 1, found 1)"},
    {"StringNumber", R"([{"brightness_in_lumen": "80"}])",
     R"(expected an integer for "brightness_in_lumen" in light 1, found the string "80")"},
    {"SerialAsNumber", R"([{"serial_number": 7}])",
     R"(expected a string for "serial_number" in light 1, found 7)"},
    {"TypeAsObject", R"([{"device_type": {}}])",
     R"(expected a string for "device_type" in light 1, found an object)"},
    {"TopLevelObject", R"({"devices": []})", "expected an array of lights, found an object"},
    {"TopLevelNull", "null", "expected an array of lights, found null"},
    {"ElementNotObject", "[{}, 3]", "expected an object for light 2, found 3"},
    {"Trailing", "[] []",
     "not valid JSON at line 1, column 4: unexpected '['; expected end of input"},
    {"Truncated", "[{\"is_on\": tr",
     "not valid JSON at line 1, column 14: invalid literal; last read: '\"is_on\": tr'"},
    {"SecondLine", "[\n  {\"is_on\" true}]",
     "not valid JSON at line 2, column 15: unexpected true literal; expected ':'"},
    {"NulAndGarbageAfterTheReport", QByteArray("[{\"is_on\":true}]\0junk", 21),
     "not valid JSON at line 1, column 17: unexpected NUL byte"},
    {"FirstBadMemberInTableOrder",
     R"([{"maximum_temperature_in_kelvin": "x", "brightness_in_lumen": 1.5, "is_on": 1}])",
     R"(expected true or false for "is_on" in light 1, found 1)"},
    {"TruncatedAfterABadMember", R"([{"is_on": 1}, {"is_on": )",
     "not valid JSON at line 1, column 26: unexpected end of input; expected '[', "
     "'{', or a literal"},
    {"TopLevelObjectTruncated", R"({"devices": [)",
     "not valid JSON at line 1, column 14: unexpected end of input; expected '[', "
     "'{', or a literal"},
    {"SerialNumberThatReadsAsAnOption", R"([{}, {"serial_number": "--help"}])",
     R"(light 2: serial number "--help" begins with "-")"},
    {"SerialNumberWithAControlCharacter", R"([{"serial_number": "A\nB"}])",
     R"(light 1: serial number "A\x0aB" holds a control character)"},
    {"OneLightMoreThanTheBound", "[" + QByteArray("{},").repeated(256) + "{}]",
     "the report lists more than 256 lights"},
    {"MoreLightsThanAnyComputerHas", "[" + QByteArray("{},").repeated(1300000) + "{}]",
     "the report lists more than 256 lights"}};

TEST(DeviceReport, FailuresFailTheWholeReportWithAReadableReason) {
    for (const auto& [name, report, message] : failures) {
        try {
            decodeDeviceReport(report);
            ADD_FAILURE() << name << " decoded";
        } catch (const ReportDecodeError& error) {
            EXPECT_EQ(std::string(error.what()), message) << name;
        }
    }
}

}  // namespace
