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
    enum class Kind { nonZeroExit, decode, binaryMissing };

    static LitraError nonZeroExit(qint32 code, QString stderrText);
    static LitraError decode(QString reason);
    static LitraError binaryMissing();

    Kind kind() const { return kind_; }
    qint32 code() const { return code_; }
    // The tool's standard error for nonZeroExit, the reason for decode, in full.
    const QString& detail() const { return detail_; }
    const QString& errorDescription() const { return localizedDescription(); }

private:
    LitraError(Kind kind, qint32 code, QString detail, QString message);

    Kind kind_;
    qint32 code_ = 0;
    QString detail_;
};

// The platform could not run the tool: it could not be started, did not finish in time,
// or wrote more output than we accept.
class LaunchError : public GlowdeckError {
public:
    using GlowdeckError::GlowdeckError;
};

// The readable message of any exception that reaches the user.
QString localizedDescription(const std::exception& error);
QString localizedDescription(const std::exception_ptr& error);
