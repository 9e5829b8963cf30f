#include "CommandLine.h"

#include <QCommandLineParser>

#include <array>
#include <utility>

namespace {

using Verb = Invocation::Verb;

constexpr std::array verbs{
    std::pair{"toggle", Verb::toggle},
    std::pair{"on", Verb::on},
    std::pair{"off", Verb::off},
    std::pair{"brightness", Verb::brightness},
    std::pair{"temperature", Verb::temperature},
    std::pair{"refresh", Verb::refresh},
    std::pair{"preferences", Verb::preferences},
    std::pair{"status", Verb::status},
};

const char* const description = R"(Shows and switches USB desk lights from the system tray.

With no verb, starts the tray application. With one, acts and exits; through the running
Glowdeck when there is one, else by running litra itself:
  toggle                 switch the lights off if any is on, else on
  on, off                switch the lights on, or off
  brightness PERCENT     set the brightness, 1 to 100
  temperature KELVIN     set the colour temperature, a multiple of 100
  refresh                query the lights again
  preferences            open the Preferences window (starts Glowdeck when it is not running)
  status                 print the status and the number of lights on one line
  status --json          print the status, the count and each light as JSON
toggle, on, off, brightness and temperature take --light SERIAL.

Exit status: 0 done; 1 litra failed (its reason on standard error); 2 bad arguments.)";

Invocation usage(QString reason) {
    Invocation invocation;
    invocation.kind = Invocation::Kind::usageError;
    invocation.text = std::move(reason);
    return invocation;
}

// A whole decimal number from `low` to `high` that is a multiple of `step`.
std::optional<qint64> number(const QString& text, qint64 low, qint64 high, qint64 step) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || text.startsWith(u'+') || text.trimmed() != text || value < low || value > high ||
        value % step != 0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

Invocation parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(description));
    parser.addPositionalArgument(QStringLiteral("verb"), QStringLiteral("what to do (see above)"),
                                 QStringLiteral("[verb [value]]"));
    const QCommandLineOption light(QStringLiteral("light"),
                                   QStringLiteral("Act on the light with this serial number only."),
                                   QStringLiteral("SERIAL"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("With status: print JSON."));
    parser.addOption(light);
    parser.addOption(json);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(arguments)) {
        return usage(parser.errorText());
    }
    Invocation invocation;
    if (parser.isSet(help)) {
        invocation.kind = Invocation::Kind::help;
        invocation.text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                    QStringLiteral("glowdeck"));
        return invocation;
    }
    if (parser.isSet(version)) {
        invocation.kind = Invocation::Kind::version;
        return invocation;
    }

    QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        if (parser.isSet(light) || parser.isSet(json)) {
            return usage(QStringLiteral("--light and --json go with a verb; see glowdeck --help"));
        }
        return invocation;  // the tray application
    }
    const QString name = words.takeFirst();
    const auto known = std::find_if(verbs.begin(), verbs.end(), [&](const auto& verb) {
        return name == QLatin1String(verb.first);
    });
    if (known == verbs.end()) {
        return usage(QStringLiteral("unknown verb \"%1\"; see glowdeck --help").arg(name));
    }
    invocation.kind = Invocation::Kind::verb;
    invocation.verb = known->second;

    const bool takesValue =
        invocation.verb == Verb::brightness || invocation.verb == Verb::temperature;
    if (takesValue) {
        const bool brightness = invocation.verb == Verb::brightness;
        const QString wanted = brightness
                                   ? QStringLiteral("a percentage from 1 to 100")
                                   : QStringLiteral("a temperature in kelvin, a multiple of 100");
        if (words.isEmpty()) {
            return usage(QStringLiteral("%1 needs %2").arg(name, wanted));
        }
        const QString text = words.takeFirst();
        const auto value = brightness ? number(text, 1, 100, 1) : number(text, 100, 100'000, 100);
        if (!value) {
            return usage(QStringLiteral("%1 needs %2, got \"%3\"").arg(name, wanted, text));
        }
        invocation.value = *value;
    }
    if (!words.isEmpty()) {
        return usage(
            QStringLiteral("unexpected argument \"%1\" after %2").arg(words.first(), name));
    }
    if (parser.isSet(json) && invocation.verb != Verb::status) {
        return usage(QStringLiteral("--json goes with status only"));
    }
    if (parser.isSet(light)) {
        const bool perLight = takesValue || invocation.verb == Verb::toggle ||
                              invocation.verb == Verb::on || invocation.verb == Verb::off;
        if (!perLight) {
            return usage(QStringLiteral("%1 does not take --light").arg(name));
        }
        if (parser.values(light).size() > 1) {
            return usage(QStringLiteral("--light is given more than once"));
        }
        invocation.light = parser.value(light);
        if (invocation.light.isEmpty()) {
            return usage(QStringLiteral("--light needs a serial number, got an empty one"));
        }
    }
    invocation.json = parser.isSet(json);
    return invocation;
}
