#include "LitraError.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cstring>
#include <vector>

namespace {

// What the tool says is shown in a tool tip, a menu line and under the sliders. A tool that
// writes megabytes must not make those unreadable or slow to lay out.
QString quoted(const QString& text) {
    return cutShort(text, 501);
}

}  // namespace

QString cutShort(const QString& text, qsizetype longest) {
    if (text.size() <= longest) {
        return text;
    }
    const qsizetype cut = text.at(longest - 2).isHighSurrogate() ? longest - 2 : longest - 1;
    return text.left(cut) + QChar(0x2026);  // …
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString englishSystemReason(int error) {
    const char* description = ::strerrordesc_np(error);
    return description ? QString::fromLatin1(description) : systemReason(error);
}

GlowdeckError::GlowdeckError(QString message)
    : message_(std::move(message)), utf8_(message_.toUtf8()) {}

LitraError LitraError::nonZeroExit(qint32 code, const QString& stderrText) {
    return LitraError(
        errorMessage(errorText::nonZeroExit, QString::number(code), quoted(stderrText)));
}

LitraError LitraError::decode(const QString& reason) {
    return LitraError(errorMessage(errorText::decode, quoted(reason)));
}

LitraError LitraError::killed(const QString& signalName) {
    return LitraError(errorMessage(errorText::killed, signalName));
}

LitraError LitraError::noToolChosen() {
    return LitraError(QString::fromLatin1(errorText::noToolChosen));
}

LitraError LitraError::binaryMissing() {
    return LitraError(QString::fromLatin1(errorText::binaryMissing));
}

QString translatedError(const QString& message) {
    using namespace errorText;
    struct Pattern {
        const char* text;
        QRegularExpression english;  // the text with each %N as a group
    };
    static const std::vector<Pattern> patterns = [] {
        std::vector<Pattern> list;
        for (const char* text :
             {nonZeroExit,   decode,        decodeHeadline, killed,        noToolChosen,
              binaryMissing, couldNotStart, couldNotRead,   abandoned,     timedOut,
              tooMuchOutput, stateUnknown,  relativeChoice, cannotUse,     notAbsolute,
              noSuchFile,    notAFile,      notExecutable,  leadingDash,   controlCharacter,
              unlisted,      unknown,       stillStarting,  tooManyWaiting}) {
            QString pattern = QRegularExpression::escape(QString::fromLatin1(text));
            pattern.replace(QRegularExpression(QStringLiteral(R"(\\%\d)")),
                            QStringLiteral("(.*?)"));
            list.push_back(
                {text, QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$'),
                                          QRegularExpression::DotMatchesEverythingOption)});
        }
        return list;
    }();
    for (const Pattern& pattern : patterns) {
        const QRegularExpressionMatch match = pattern.english.match(message);
        if (match.hasMatch()) {
            QString shown = QCoreApplication::translate("Errors", pattern.text);
            for (int group = 1; group <= match.lastCapturedIndex(); ++group) {
                shown = shown.arg(translatedError(match.captured(group)));
            }
            return shown;
        }
    }
    // The system's words for an errno value, as englishSystemReason() gave them.
    constexpr int errnoValuesLooked = 256;
    for (int error = 1; error < errnoValuesLooked; ++error) {
        if (const char* description = ::strerrordesc_np(error);
            description && message == QLatin1String(description)) {
            return systemReason(error);
        }
    }
    return message;
}

QString localizedDescription(const std::exception& error) {
    if (const auto* ours = dynamic_cast<const GlowdeckError*>(&error)) {
        return ours->localizedDescription();
    }
    return QString::fromUtf8(error.what());
}

QString localizedDescription(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return localizedDescription(e);
    } catch (...) {
        return QString::fromLatin1(errorText::unknown);
    }
}
