#include "CommandLine.h"

#include "LitraError.h"
#include "SerialNumber.h"
#include "ValueRanges.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace {

using Verb = Invocation::Verb;

struct Text {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

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

const char* const description =
    QT_TRANSLATE_NOOP("CommandLine", R"(Shows and switches USB desk lights from the system tray.

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

Exit status: 0 done; 1 litra failed (its reason on standard error); 2 bad arguments.)");

Invocation usage(QString reason) {
    Invocation invocation;
    invocation.kind = Invocation::Kind::usageError;
    invocation.text = std::move(reason);
    return invocation;
}

// A whole decimal number as written, without sign or spaces around it.
std::optional<qint64> number(const QString& text) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || text.startsWith(u'+') || text.trimmed() != text) {
        return std::nullopt;
    }
    return value;
}

// The parser takes "-5" for options; negative numbers stand in its list as placeholders, which
// parsed() puts back.
class NegativeNumbers {
public:
    explicit NegativeNumbers(QStringList& arguments) {
        static const QRegularExpression negative(QStringLiteral("^-[0-9]"));
        for (qsizetype i = 1; i < arguments.size(); ++i) {
            if (negative.match(arguments[i]).hasMatch()) {
                originals_.push_back(std::exchange(arguments[i], placeholder(originals_.size())));
            }
        }
    }
    QString parsed(const QString& text) const {
        for (std::size_t i = 0; i < originals_.size(); ++i) {
            if (text == placeholder(i)) {
                return originals_[i];
            }
        }
        return text;
    }

private:
    static QString placeholder(std::size_t index) {
        return QStringLiteral("\x01negative%1").arg(index);
    }
    std::vector<QString> originals_;
};

// Glowdeck's own options; --version is the parser's.
struct Options {
    QCommandLineOption light{QStringLiteral("light"),
                             Text::tr("Act on the light with this serial number only."),
                             Text::tr("SERIAL")};
    QCommandLineOption json{QStringLiteral("json"), Text::tr("With status: print JSON.")};
    // Not addHelpOption(): its --help-all would list Qt's own options, which a verb does not take.
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            Text::tr("Displays this help.")};
};

// Sets up the parser in the order --help lists; returns --version.
QCommandLineOption describe(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(Text::tr(description));
    parser.addPositionalArgument(Text::tr("verb"), Text::tr("what to do (see above)"),
                                 Text::tr("[verb [value]]"));
    parser.addOption(options.light);
    parser.addOption(options.json);
    parser.addOption(options.help);
    return parser.addVersionOption();
}

bool takesValue(Verb verb) {
    return verb == Verb::brightness || verb == Verb::temperature;
}

bool takesLight(Verb verb) {
    return takesValue(verb) || verb == Verb::toggle || verb == Verb::on || verb == Verb::off;
}

// Takes the verb's value from the front of words; returns what is wrong with it, if anything.
QString readValue(Invocation& invocation, const QString& name, QStringList& words) {
    const bool brightness = invocation.verb == Verb::brightness;
    const QString wanted = brightness ? valueRanges::percentageRange(valueRanges::translated)
                                      : valueRanges::kelvinRange(valueRanges::translated);
    if (words.isEmpty()) {
        return Text::tr("%1 needs %2").arg(name, wanted);
    }
    const QString text = words.takeFirst();
    const auto value = number(text);
    if (!value ||
        !(brightness ? valueRanges::isPercentage(*value) : valueRanges::isKelvin(*value))) {
        return Text::tr("%1 takes %2, not %3").arg(name, wanted, quotedArgument(text));
    }
    invocation.value = *value;
    return {};
}

// Reads --light; returns what is wrong with it, if anything.
QString readLight(Invocation& invocation, const QString& name, const QCommandLineParser& parser,
                  const Options& options, const NegativeNumbers& negatives) {
    if (!takesLight(invocation.verb)) {
        return Text::tr("%1 does not take --light").arg(name);
    }
    if (parser.values(options.light).size() > 1) {
        return Text::tr("--light is given more than once");
    }
    invocation.light = negatives.parsed(parser.value(options.light));
    if (invocation.light.isEmpty()) {
        return Text::tr("--light needs a serial number, got an empty one");
    }
    if (const QString problem = serialNumberProblem(invocation.light); !problem.isEmpty()) {
        return QStringLiteral("--light: %1").arg(translatedError(problem));
    }
    return {};
}

// The verb first in words, its value and its options.
Invocation verbInvocation(QStringList words, const QCommandLineParser& parser,
                          const Options& options, const NegativeNumbers& negatives) {
    const QString name = words.takeFirst();
    const auto known = std::find_if(verbs.begin(), verbs.end(), [&](const auto& verb) {
        return name == QLatin1String(verb.first);
    });
    if (known == verbs.end()) {
        return usage(Text::tr("unknown verb %1; see glowdeck --help").arg(quotedArgument(name)));
    }
    Invocation invocation;
    invocation.kind = Invocation::Kind::verb;
    invocation.verb = known->second;
    if (takesValue(invocation.verb)) {
        if (QString problem = readValue(invocation, name, words); !problem.isEmpty()) {
            return usage(std::move(problem));
        }
    }
    if (!words.isEmpty()) {
        return usage(
            Text::tr("unexpected argument %1 after %2").arg(quotedArgument(words.first()), name));
    }
    if (parser.isSet(options.json) && invocation.verb != Verb::status) {
        return usage(Text::tr("--json goes with status only"));
    }
    if (parser.isSet(options.light)) {
        if (QString problem = readLight(invocation, name, parser, options, negatives);
            !problem.isEmpty()) {
            return usage(std::move(problem));
        }
    }
    invocation.json = parser.isSet(options.json);
    return invocation;
}

}  // namespace

Invocation parseCommandLine(const QStringList& givenArguments) {
    QStringList arguments = givenArguments;
    const NegativeNumbers negatives(arguments);
    QCommandLineParser parser;
    const Options options;
    const QCommandLineOption version = describe(parser, options);
    if (!parser.parse(arguments)) {
        // Qt's text quotes the option whole, and an argument may be any length.
        const QString error = parser.errorText();
        return usage(Text::tr("%1 See glowdeck --help.")
                         .arg(error.size() > 100 ? error.left(100) + QChar(0x2026) : error));
    }
    Invocation invocation;
    if (parser.isSet(options.help)) {
        invocation.kind = Invocation::Kind::help;
        // Qt names the program as it was started, or "<executable_name>" before there is an
        // application object.
        invocation.text = parser.helpText();
        const QString started = QCoreApplication::instance()
                                    ? QCoreApplication::arguments().value(0)
                                    : QStringLiteral("<executable_name>");
        if (const qsizetype at = invocation.text.indexOf(started); at >= 0 && !started.isEmpty()) {
            invocation.text.replace(at, started.size(), QStringLiteral("glowdeck"));
        }
        return invocation;
    }
    if (parser.isSet(version)) {
        invocation.kind = Invocation::Kind::version;
        return invocation;
    }
    QStringList words;
    for (const QString& word : parser.positionalArguments()) {
        words << negatives.parsed(word);
    }
    if (words.isEmpty()) {
        if (parser.isSet(options.light) || parser.isSet(options.json)) {
            return usage(Text::tr("--light and --json go with a verb; see glowdeck --help"));
        }
        return invocation;  // the tray application
    }
    return verbInvocation(std::move(words), parser, options, negatives);
}
