#pragma once

#include "AppState.h"
#include "CommandQueue.h"
#include "LoginItemService.h"
#include "SliderMapping.h"
#include "StatusWords.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The whole-number part of a slider value or interval, truncated toward zero.
qint64 wholeNumber(double value);
// The value texts of the form: "50%", "4000K", "5s".
QString brightnessValueText(double percentage);
QString temperatureValueText(double kelvin);
QString pollIntervalValueText(double seconds);
// The choices of the tray icon's style: "Automatic", "Light", "Dark".
QString trayIconStyleText(TrayIconStyle style);

// State and handlers of the Preferences form, without any widget. The view draws what this
// object holds, forwards user input to it and redraws on `changed`.
class PreferencesForm : public QObject {
    Q_OBJECT
public:
    static constexpr slider::Range brightnessRange{1.0, 100.0};
    static constexpr double brightnessStep = 1.0;
    static constexpr double temperatureStep = 100.0;
    static constexpr slider::Range pollIntervalRange{1.0, 30.0};
    static constexpr double pollIntervalStep = 1.0;
    static constexpr double dimmedOpacity = 0.4;

    // `appState` and `commands`, which its light commands go through, must outlive the form.
    PreferencesForm(AppState* appState, CommandQueue* commands, LoginItemService loginItems,
                    QObject* parent = nullptr);

    AppState* appState() const { return appState_; }

    bool launchAtLogin() const { return launchAtLogin_; }
    const std::optional<QString>& launchError() const { return launchError_; }
    double brightnessSlider() const { return brightnessSlider_; }
    double temperatureSlider() const { return temperatureSlider_; }
    const std::optional<QString>& lightActionError() const { return lightActionError_; }
    // The light the sliders show and set, by serial number; empty: all lights.
    const QString& appliesTo() const { return appliesTo_; }
    // "All lights" and then each light with a serial number: (title, serial number).
    QList<std::pair<QString, QString>> applyToChoices() const;

    // What the view shows, worked out from the state at each call.
    bool hasDevices() const;
    double lightSliderOpacity() const;
    slider::Range temperatureSliderRange() const;
    // A value no light has reported reads as a dash, unless the user is setting it.
    QString brightnessText() const;
    QString temperatureText() const;
    QString pollIntervalText() const;
    TrayIconStyle trayIconStyle() const { return appState_->trayIconStyle(); }
    bool followCamera() const { return appState_->followCamera(); }
    // The status in the Status section: headline, what to do, and the whole message.
    StatusWords stateWords() const;
    QString stateText() const { return stateWords().headline; }
    // Why the light sliders have nothing to set: no lights, or a tool that failed; none while
    // lights are there.
    std::optional<QString> lightsNote() const;
    QString deviceCountText() const;

    // The litra tool row: the path in use (empty for none), its --version line or why there is
    // none, and why a path the user chose was not taken.
    const QString& litraPathText() const { return litraPathText_; }
    const QString& litraNote() const { return litraNote_; }
    bool hasChosenLitra() const { return !appState_->litraPath().isEmpty(); }
    bool isSimulated() const { return simulated_; }
    const std::optional<QString>& litraChoiceError() const { return litraChoiceError_; }

    // A light the user may not use: the sentence that says so, and how to load the udev rule
    // Glowdeck ships for it.
    bool lightNeedsPermission() const { return appState_->lightNeedsPermission(); }
    QString permissionFixText() const;

    // The form comes on screen. The first time, it also starts following changes of the
    // light values; the values present now count as seen.
    void appear();

    // Input from the controls.
    void setBrightnessSlider(double value);
    void setTemperatureSlider(double value);
    // The user switched the toggle; runs launchAtLoginChanged when the value changes.
    void setLaunchAtLoginToggle(bool on);
    void setPollIntervalSeconds(double seconds);
    // The user chose a litra tool, or went back to the one shipped with Glowdeck.
    void chooseLitraPath(const QString& path);
    void resetLitraPath();
    // Runs the tool in use once for its --version line; the window does so as it opens.
    void checkLitra();
    // Stored at once; the tray icon follows.
    void setTrayIconStyle(TrayIconStyle style);
    void setFollowCamera(bool on) { appState_->setFollowCamera(on); }
    void setAppliesTo(const QString& serial);

    // Called with true when a drag of the slider starts and false when it ends; the end sends
    // the slider's value to the lights.
    void brightnessEditingChanged(bool editing);
    void temperatureEditingChanged(bool editing);

signals:
    // Any of the form's state or the observed AppState changed.
    void changed();
    // A brightness or temperature command has ended and its outcome is in lightActionError.
    void lightCommandFinished();

private:
    void appStateChanged();
    // The chosen light as the last refresh reported it; none when all lights are chosen.
    const LitraDevice* chosenLight() const;
    // The figures the sliders follow: the chosen light's, else those of all lights.
    std::optional<double> brightnessFigure() const;
    std::optional<double> temperatureFigure() const;
    TemperatureRange rangeFigure() const;
    void syncBrightnessSlider();
    void syncTemperatureSlider();
    void clampTemperatureSlider(TemperatureRange to);
    void launchAtLoginChanged(bool on);
    // Registers or unregisters the login item unless it already matches. Throws the
    // service's LoginItemError.
    void setLaunchAtLogin(bool wanted);
    void sendLightCommand(LightCommand command);
    void setLightActionError(std::optional<QString> error);
    static QCoro::Task<> runLitraCheck(QPointer<PreferencesForm> form,
                                       std::shared_ptr<LitraController> controller, quint64 check);
    void setLaunchError(std::optional<QString> error);

    AppState* appState_;
    CommandQueue* commands_;
    LoginItemService loginItems_;

    bool launchAtLogin_ = false;
    std::optional<QString> launchError_;
    double brightnessSlider_ = 50.0;
    double temperatureSlider_ = 4000.0;
    bool isEditingBrightness_ = false;
    bool isEditingTemperature_ = false;
    std::optional<QString> lightActionError_;
    QString litraPathText_;
    QString litraNote_;
    bool simulated_ = false;
    std::optional<QString> litraChoiceError_;
    quint64 litraChecks_ = 0;  // only the latest check is shown
    QString appliesTo_;

    // The light values last seen, to run the change handlers only for real changes.
    bool observing_ = false;
    std::optional<double> seenBrightness_;
    std::optional<double> seenTemperature_;
    TemperatureRange seenRange_;
};
