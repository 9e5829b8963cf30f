#pragma once

#include "BusNames.h"
#include "LightCommand.h"
#include "LightEntries.h"
#include "LitraDevice.h"
#include "LitraError.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

class AppState;
class CommandQueue;
struct LitraDevice;


// Keeping Glowdeck to one process per session failed; the message says why.
class SessionError : public GlowdeckError {
public:
    enum class Kind {
        unguarded,     // no session bus or no name on it: no telling whether another one runs
        notAnswering,  // another Glowdeck owns the name but did not answer
    };

    SessionError(Kind kind, QString message) : GlowdeckError(std::move(message)), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// What a starting process passes on so that the window it asks for may take the focus, as
// GApplication does: {"activation-token": XDG_ACTIVATION_TOKEN, "desktop-startup-id":
// DESKTOP_STARTUP_ID}, each only when set. Read it before QApplication exists: Qt's X11 plugin
// takes DESKTOP_STARTUP_ID out of the environment.
QVariantMap platformDataFromEnvironment();
// The token to activate a window with: "activation-token", else "desktop-startup-id" (which
// Wayland launchers also set to the token); values that are not strings do not count.
QString activationToken(const QVariantMap& platformData);
// Runs `show` with XDG_ACTIVATION_TOKEN set to `token`, which Qt's Wayland plugin reads when
// it makes or activates a window, and unset afterwards. Qt 6.4 has no public way to hand a
// startup id to its X11 plugin once running, so X11 window managers judge by time alone.
void showWithActivationToken(const QString& token, const std::function<void()>& show);

// Glowdeck on the session bus: the name org.glowdeck.Glowdeck, owned by the one Glowdeck of
// the session, and this object at /org/glowdeck/Glowdeck. Its scriptable slots and properties
// are what the bus sees (the README lists them). A light command answers once litra has run and
// the lights have been refreshed, or with the error LitraFailed and the reason Glowdeck shows.
// A value out of range or a light the last refresh did not list is answered with InvalidArgs,
// and nothing runs.
class SessionService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.glowdeck.Glowdeck")
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int DeviceCount READ deviceCount)
    Q_PROPERTY(QList<QVariantMap> Lights READ lights)
public:
    static constexpr const char* serviceName = bus::serviceName;
    static constexpr const char* objectPath = bus::objectPath;
    static constexpr const char* interfaceName = bus::interfaceName;
    static constexpr const char* litraFailed = bus::litraFailed;
    // How long a later start waits for the running one; it may still be starting.
    static constexpr std::chrono::milliseconds answerTimeout{5000};

    enum class Outcome {
        owner,       // this process is the session's Glowdeck
        handedOver,  // another one runs and has opened its Preferences
    };

    // `showPreferences` opens the Preferences window.
    SessionService(AppState& state, CommandQueue& commands, std::function<void()> showPreferences,
                   QObject* parent = nullptr);

    // Exports this object, then asks for the name. When another process owns it, asks that one
    // to open its Preferences with `platformData` and gives up the object again. Throws
    // SessionError.
    Outcome claim(QDBusConnection bus, const QVariantMap& platformData = {});

    QString status() const;
    int deviceCount() const;
    QList<QVariantMap> lights() const;

public slots:
    // Opens the Preferences window in front; see platformDataFromEnvironment().
    Q_SCRIPTABLE void ShowPreferences(const QVariantMap& platformData);
    // An empty light is every light.
    Q_SCRIPTABLE void Toggle(const QString& light);
    Q_SCRIPTABLE void On(const QString& light);
    Q_SCRIPTABLE void Off(const QString& light);
    Q_SCRIPTABLE void SetBrightness(int percentage, const QString& light);
    Q_SCRIPTABLE void SetTemperature(int kelvin, const QString& light);
    Q_SCRIPTABLE void Refresh();

private:
    struct Published {
        QString status;
        int deviceCount = 0;
        QList<QVariantMap> lights;
    };

    // Answers the call being served with InvalidArgs when there is a `problem`; true then.
    bool refused(const QString& problem);
    // Why the command cannot run: a value out of range, or a light that is not a serial number
    // the last refresh listed.
    QString problemOf(const LightCommand& command) const;
    // Answers the call being served once the command has run and the lights are refreshed.
    void submit(LightCommand command);
    // Sends PropertiesChanged with the properties that differ from what was last published.
    void publishChanges();

    AppState& state_;
    CommandQueue& commands_;
    std::function<void()> showPreferences_;
    QDBusConnection bus_{QString()};
    std::optional<Published> published_;
    // The snapshot's lights as the bus shows them, made again only when those lights change:
    // most changes of the state are settings.
    std::vector<LitraDevice> entriesOf_;
    QList<QVariantMap> entries_;
};
