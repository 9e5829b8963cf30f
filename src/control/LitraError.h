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

// The text as it is when it has at most `longest` characters, else cut to fewer, without
// splitting a character, and ended with "…".
QString cutShort(const QString& text, qsizetype longest);

// The system's own words for an errno value.
QString systemReason(int error);

// The readable message of any exception that reaches the user.
QString localizedDescription(const std::exception& error);
QString localizedDescription(const std::exception_ptr& error);
