#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// A failure shown to the user: every error Glowdeck raises carries a readable message.
class GlowdeckError : public std::exception {
public:
    explicit GlowdeckError(QString message);
    const QString& localizedDescription() const { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// The failures the controller raises about the litra tool's answers. A message quotes at most
// the first 500 characters of what the tool said, followed by "…".
class LitraError : public GlowdeckError {
public:
    static LitraError nonZeroExit(qint32 code, const QString& stderrText);
    static LitraError decode(const QString& reason);
    static LitraError killed(const QString& signalName);
    // An install configured to ship a litra that is not there.
    static LitraError binaryMissing();
    // An install that ships none, and none chosen in Preferences.
    static LitraError noToolChosen();

private:
    using GlowdeckError::GlowdeckError;
};

// The platform could not run the tool: it could not be started, did not finish in time,
// or wrote more output than we accept.
class LaunchError : public GlowdeckError {
public:
    using GlowdeckError::GlowdeckError;
};

// The messages of Glowdeck's own errors. They are made and carried in English (the bus passes
// them on, and failureKind() reads them); translatedError() puts them in the user's language.
namespace errorText {
inline constexpr const char* nonZeroExit = QT_TRANSLATE_NOOP("Errors", "litra exited %1: %2");
inline constexpr const char* decode =
    QT_TRANSLATE_NOOP("Errors", "Failed to parse litra output: %1");
inline constexpr const char* decodeHeadline =
    QT_TRANSLATE_NOOP("Errors", "Failed to parse litra output");
inline constexpr const char* killed = QT_TRANSLATE_NOOP("Errors", "litra was killed by %1");
inline constexpr const char* noToolChosen = QT_TRANSLATE_NOOP("Errors", "No litra tool chosen yet");
inline constexpr const char* binaryMissing =
    QT_TRANSLATE_NOOP("Errors", "Bundled litra binary missing");
inline constexpr const char* couldNotStart = QT_TRANSLATE_NOOP("Errors", "Could not start %1: %2");
inline constexpr const char* couldNotRead =
    QT_TRANSLATE_NOOP("Errors", "Could not read from litra: %1");
inline constexpr const char* abandoned = QT_TRANSLATE_NOOP("Errors", "litra run abandoned");
inline constexpr const char* timedOut =
    QT_TRANSLATE_NOOP("Errors", "litra did not finish within %1 seconds and was stopped");
inline constexpr const char* tooMuchOutput =
    QT_TRANSLATE_NOOP("Errors", "litra wrote more than %1 MiB of output and was stopped");
inline constexpr const char* stateUnknown = QT_TRANSLATE_NOOP("Errors", "device state unknown");
inline constexpr const char* relativeChoice = QT_TRANSLATE_NOOP(
    "Errors", "The litra tool chosen in Preferences, %1, is not an absolute path");
inline constexpr const char* cannotUse =
    QT_TRANSLATE_NOOP("Errors", "Cannot use %1 as the litra tool: %2");
inline constexpr const char* notAbsolute = QT_TRANSLATE_NOOP("Errors", "the path is not absolute");
inline constexpr const char* noSuchFile = QT_TRANSLATE_NOOP("Errors", "there is no such file");
inline constexpr const char* notAFile = QT_TRANSLATE_NOOP("Errors", "it is not a file");
inline constexpr const char* notExecutable = QT_TRANSLATE_NOOP("Errors", "it is not executable");
inline constexpr const char* leadingDash =
    QT_TRANSLATE_NOOP("Errors", "serial number %1 begins with \"-\"");
inline constexpr const char* controlCharacter =
    QT_TRANSLATE_NOOP("Errors", "serial number %1 holds a control character");
inline constexpr const char* unlisted =
    QT_TRANSLATE_NOOP("Errors", "no light with serial number %1");
inline constexpr const char* unknown = QT_TRANSLATE_NOOP("Errors", "Unknown error");
// The running Glowdeck's answers on the bus, which the command line shows.
inline constexpr const char* stillStarting =
    QT_TRANSLATE_NOOP("Errors", "Glowdeck is still starting");
inline constexpr const char* tooManyWaiting =
    QT_TRANSLATE_NOOP("Errors", "Too many light commands are waiting (%1); this one was not run");
}  // namespace errorText

// The English text filled in: errorText::couldNotStart with its arguments.
template <typename... Args>
QString errorMessage(const char* text, const Args&... args) {
    return QString::fromLatin1(text).arg(args...);
}

// A message made of errorText, in the user's language, its arguments too where they are
// errorText; any other message as it is.
QString translatedError(const QString& message);

// The text as it is when it has at most `longest` characters, else cut to fewer, without
// splitting a character, and ended with "…".
QString cutShort(const QString& text, qsizetype longest);

// The system's own words for an errno value, in the user's language where the system has them.
QString systemReason(int error);
// The same in English, for messages that travel as the status does: translatedError() shows
// them in the user's language, and the kind of a failure is told from them.
QString englishSystemReason(int error);

// The readable message of any exception that reaches the user.
QString localizedDescription(const std::exception& error);
QString localizedDescription(const std::exception_ptr& error);
