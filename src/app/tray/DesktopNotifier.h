#pragma once

#include "Attention.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>

class AppState;

// Tells the user through a desktop notification (org.freedesktop.Notifications) when the lights
// begin to need them: no litra tool, a tool that cannot start, no permission, a light that keeps
// failing. One notification as such a state begins, none while it lasts; its action opens
// Preferences. Nothing when the user turned notifications off, or no server answers.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    static constexpr const char* serviceName = "org.freedesktop.Notifications";
    static constexpr const char* objectPath = "/org/freedesktop/Notifications";

    // `openPreferences` gets the activation token the server sent with the action, if any.
    DesktopNotifier(AppState& appState, QDBusConnection bus,
                    std::function<void(const QString& activationToken)> openPreferences,
                    QObject* parent = nullptr);

    // A refresh has ended: counts the failures in a row, and lets a state that has gone be told
    // again when it comes back.
    void refreshFinished();

private slots:
    void actionInvoked(uint id, const QString& action);
    void activationToken(uint id, const QString& token);

private:
    void evaluate();
    void send();
    void listen();

    AppState& appState_;
    QDBusConnection bus_;
    std::function<void(const QString&)> openPreferences_;
    int failuresInARow_ = 0;
    Attention told_ = Attention::none;
    bool listening_ = false;
    uint notificationId_ = 0;
    QString token_;
};
