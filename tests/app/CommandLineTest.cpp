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
    for (const QStringList& refused : std::vector<QStringList>{
             {"dim"}, {"toggle", "now"}, {"brightness"}, {"brightness", "0"}, {"brightness", "101"},
             {"brightness", "+5"}, {"brightness", "5.0"}, {"temperature", "4550"},
             {"temperature", "-100"}, {"toggle", "--json"}, {"refresh", "--light", "S1"},
             {"on", "--light", ""}, {"on", "--light", "A", "--light", "B"}, {"--light", "S1"},
             {"--light"}, {"--bogus"}}) {
        const Invocation got = parseCommandLine(QStringList("glowdeck") + refused);
        EXPECT_EQ(got.kind, Kind::usageError) << refused.join(' ').toStdString();
        EXPECT_FALSE(got.text.isEmpty() || got.text.contains('\n')) << got.text.toStdString();
    }
}

}  // namespace
