#pragma once

#include "LitraError.h"

#include <QLockFile>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <chrono>
#include <memory>

// Keeping Glowdeck to one process failed; the message says where and why.
class SingleInstanceError : public GlowdeckError {
public:
    enum class Kind {
        unavailable,   // the folder, lock or socket cannot be used: no telling who else runs
        notAnswering,  // another Glowdeck holds the lock but does not answer
    };

    SingleInstanceError(Kind kind, QString message)
        : GlowdeckError(std::move(message)), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// One Glowdeck per user and display. The first start holds a lock file and listens on a local
// socket beside it; a later start finds the lock taken and asks the running one, through the
// socket, to open its Preferences window. A lock left by a process that is gone is taken over,
// and so is its socket.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        claimed,     // this process is the one Glowdeck
        handedOver,  // another one runs and has been asked to open its Preferences
    };

    // How long a later start waits for the running one to answer; it may still be starting.
    static constexpr std::chrono::milliseconds answerTimeout{5000};
    static constexpr const char* openPreferencesMessage = "open-preferences\n";

    // `directory` must be private to the user; it is created (mode 0700) when missing.
    SingleInstance(QString directory, QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR/glowdeck, or a folder of the user's own in the temporary folder when
    // there is no runtime folder.
    static QString defaultDirectory();
    // One name per display: the Wayland display, else the X display (without its screen
    // number), else "default".
    static QString sessionName();

    QString socketPath() const;
    QString lockPath() const;

    // Throws SingleInstanceError when the folder, the lock or the socket cannot be used, or when
    // the running Glowdeck does not answer.
    Outcome claim();

signals:
    // A later start asked for the Preferences window.
    void preferencesRequested();

private:
    void ensureDirectory() const;
    void listen();
    bool handOver(QString* failure) const;
    void acceptConnection();

    QString directory_;
    QString name_;
    std::unique_ptr<QLockFile> lock_;
    int serverFd_ = -1;
    std::unique_ptr<QSocketNotifier> serverNotifier_;
};
