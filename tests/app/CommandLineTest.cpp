#include "CommandLine.h"

#include <gtest/gtest.h>

// Invocations are written with designated initializers; the fields left out are meant to be empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Kind = Invocation::Kind;
using Verb = Invocation::Verb;

TEST(CommandLine, VerbsTheirValuesAndEveryRefusal) {
    const std::pair<QStringList, Invocation> cases[] = {
        {{}, {}},
        {{"--light", "S1", "toggle"}, {Kind::verb, Verb::toggle, 0, "S1"}},
        {{"off", "--light=S 2"}, {Kind::verb, Verb::off, 0, "S 2"}},
        {{"brightness", "1"}, {Kind::verb, Verb::brightness, 1}},
        {{"brightness", "100", "--light", "S1"}, {Kind::verb, Verb::brightness, 100, "S1"}},
        {{"temperature", "6500"}, {Kind::verb, Verb::temperature, 6500}},
        {{"status", "--json"}, {Kind::verb, Verb::status, 0, {}, true}},
        {{"preferences"}, {Kind::verb, Verb::preferences}},
        {{"-v"}, {Kind::version}},
    };
    for (const auto& [args, expected] : cases) {
        const Invocation got = parseCommandLine(QStringList("glowdeck") + args);
        EXPECT_TRUE(got == expected) << args.join(' ').toStdString() << got.text.toStdString();
    }
    EXPECT_TRUE(parseCommandLine({"glowdeck", "status", "--help"}).text.contains("--light"));
    const QString huge(120'000, 'x');
    const std::pair<QStringList, QString> refusals[] = {
        {{"dim"}, "unknown verb \"dim\"; see glowdeck --help"},
        {{"toggle", "now"}, "unexpected argument \"now\" after toggle"},
        {{"brightness"}, "brightness needs a percentage from 1 to 100"},
        {{"brightness", "0"}, "brightness takes a percentage from 1 to 100, not \"0\""},
        {{"brightness", "101"}, "brightness takes a percentage from 1 to 100, not \"101\""},
        {{"brightness", "-5"}, "brightness takes a percentage from 1 to 100, not \"-5\""},
        {{"brightness", "+5"}, "brightness takes a percentage from 1 to 100, not \"+5\""},
        {{"brightness", "5.0"}, "brightness takes a percentage from 1 to 100, not \"5.0\""},
        {{"brightness", huge},
         "brightness takes a percentage from 1 to 100, not \"" + QString(40, 'x') + "…\""},
        {{"temperature", "4550"},
         "temperature takes kelvin from 100 to 100000 in steps of 100, not \"4550\""},
        {{"temperature", "-4500", "--light", "S1"},
         "temperature takes kelvin from 100 to 100000 in steps of 100, not \"-4500\""},
        {{"toggle", "--json"}, "--json goes with status only"},
        {{"refresh", "--light", "S1"}, "refresh does not take --light"},
        {{"on", "--light", ""}, "--light needs a serial number, got an empty one"},
        {{"on", "--light", "-5"}, "--light: serial number \"-5\" begins with \"-\""},
        {{"on", "--light=A\tB"}, "--light: serial number \"A\\x09B\" holds a control character"},
        {{"on", "--light", "A", "--light", "B"}, "--light is given more than once"},
        {{"--light", "S1"}, "--light and --json go with a verb; see glowdeck --help"},
        {{"--light"}, "Missing value after '--light'. See glowdeck --help."},
        {{"--help-all"}, "Unknown option 'help-all'. See glowdeck --help."},
        {{"--" + huge}, "Unknown option '" + QString(84, 'x') + "… See glowdeck --help."}};
    for (const auto& [refused, message] : refusals) {
        const Invocation got = parseCommandLine(QStringList("glowdeck") + refused);
        EXPECT_EQ(got.kind, Kind::usageError) << refused.join(' ').left(50).toStdString();
        EXPECT_EQ(got.text.toStdString(), message.toStdString());
    }
}

}  // namespace
