#pragma once

#include "LitraError.h"

#include <QCoreApplication>
#include <QString>

// A login-item change that the system refused; the message names the file and the system's
// reason.
class LoginItemError : public GlowdeckError {
public:
    using GlowdeckError::GlowdeckError;
};

// Starting an application at login through an XDG autostart entry. The entry is enabled when
// its file exists and no key marks it hidden or disabled.
class LoginItemService {
    Q_DECLARE_TR_FUNCTIONS(LoginItemService)

public:
    enum class Status { notRegistered, enabled, disabled };

    // The entry for the running Glowdeck binary in $XDG_CONFIG_HOME/autostart (default
    // ~/.config/autostart), named glowdeck.desktop.
    static LoginItemService mainAppService();
    // The folder used by mainAppService.
    static QString defaultAutostartDirectory();

    LoginItemService(QString autostartDirectory, QString executablePath);

    const QString& entryPath() const { return entryPath_; }

    Status status() const;
    bool isEnabled() const { return status() == Status::enabled; }

    // Writes the entry atomically, creating the folder when needed; a link in its place is
    // replaced, not followed. Throws LoginItemError, also when the binary's path cannot be
    // written in an entry as it is (not UTF-8, a control character, or "%").
    void registerItem();
    // Removes the entry; a link in its place is removed, not its target. Throws LoginItemError.
    void unregisterItem();

private:
    // The desktop entry that starts `executablePath`.
    static QByteArray desktopEntry(const QString& executablePath);
    // The Exec value that starts `executablePath` with no arguments, quoted and escaped as
    // desktop entries require.
    static QString execValue(const QString& executablePath);

    QString directory_;
    QString entryPath_;
    QString executablePath_;
};
