#pragma once

#include "LightStatus.h"
#include "LitraDevice.h"

#include <QObject>
#include <QSettings>

#include <map>
#include <optional>
#include <vector>

struct TemperatureRange {
    double lower = 2700.0;
    double upper = 6500.0;
    friend bool operator==(const TemperatureRange&, const TemperatureRange&) = default;
};

// How the tray icon is coloured: Automatic suits it to the panel behind it; Light (for a dark
// panel) and Dark (for a light one) are for a panel that defeats that.
enum class TrayIconStyle { automatic, light, dark };

// The one observable state shared by the tray icon and the Preferences form. Lives on the GUI
// thread. `changed` is emitted once for every assignment to any field, also when the value is
// unchanged, after the new value is stored; observers re-read the fields.
class AppState : public QObject {
    Q_OBJECT
public:
    static constexpr const char* pollIntervalKey = "pollIntervalSeconds";
    static constexpr double defaultPollIntervalSeconds = 5.0;
    static constexpr const char* litraPathKey = "litraPath";
    static constexpr const char* trayIconStyleKey = "trayIconStyle";
    static constexpr const char* followCameraKey = "followCamera";
    static constexpr const char* notifyKey = "notifyWhenLightsNeedYou";

    explicit AppState(QObject* parent = nullptr);

    const LightStatus& status() const { return status_; }
    void setStatus(LightStatus status);

    qint64 deviceCount() const { return deviceCount_; }
    void setDeviceCount(qint64 count);

    double pollIntervalSeconds() const { return pollIntervalSeconds_; }
    // Stores the value and writes it to the settings file, on every assignment.
    void setPollIntervalSeconds(double seconds);

    TrayIconStyle trayIconStyle() const { return trayIconStyle_; }
    // Stores the style and writes it to the settings file. The tray icon has no AppState of its
    // own: it reads the file, and follows the change of the application object's property of
    // the same name, which this sets as well.
    void setTrayIconStyle(TrayIconStyle style);

    // Whether the lights go on while a camera is in use; stored like the poll interval.
    bool followCamera() const { return followCamera_; }
    void setFollowCamera(bool follow);
    // Whether a desktop notification says when the lights need the user; stored, on by default.
    bool notify() const { return notify_; }
    void setNotify(bool notify);
    // Why cameras cannot be followed on this system; none when they can.
    const std::optional<QString>& cameraUnavailable() const { return cameraUnavailable_; }
    void setCameraUnavailable(std::optional<QString> reason);
    bool cameraInUse() const { return cameraInUse_; }
    void setCameraInUse(bool inUse);
    // Sends lightsSetByUser: a click, a menu choice, a command or Preferences set the lights.
    void noteLightsSetByUser() { emit lightsSetByUser(); }

    std::optional<double> brightnessPercentage() const { return brightnessPercentage_; }
    void setBrightnessPercentage(std::optional<double> percentage);

    std::optional<double> temperatureKelvin() const { return temperatureKelvin_; }
    void setTemperatureKelvin(std::optional<double> kelvin);

    TemperatureRange temperatureRange() const { return temperatureRange_; }
    void setTemperatureRange(TemperatureRange range);

    // A light is connected whose device the user may not use, as found after the last miss.
    bool lightNeedsPermission() const { return lightNeedsPermission_; }
    void setLightNeedsPermission(bool needs);

    // The litra tool chosen in Preferences; empty for the one shipped with Glowdeck. Stored in
    // the settings file; litraPathChanged follows `changed` when the value differs.
    QString litraPath() const;
    void setLitraPath(const QString& path);
    // Each light as the last refresh reported it.
    const std::vector<LitraDevice>& lights() const { return lights_; }
    void setLights(std::vector<LitraDevice> lights);

    // Derives brightness, temperature and the common temperature range from one refresh.
    void updateMetrics(const std::vector<LitraDevice>& devices);

    // The stored tray icon style ("Automatic", "Light" or "Dark"); Automatic for anything else.
    static TrayIconStyle readTrayIconStyle(const QSettings& settings);
    // The same, from Glowdeck's settings file as it is now.
    static TrayIconStyle storedTrayIconStyle();

    // Why the last change of the setting `key` could not be written to the settings file;
    // none once a change of it was written. The value holds for this run all the same.
    std::optional<QString> saveError(const char* key) const;

signals:
    void changed();
    void lightsSetByUser();
    void litraPathChanged();

private:
    // Writes the setting at once (an invalid value removes it) and notes whether that failed.
    void store(const char* key, const QVariant& value);

    LightStatus status_ = LightStatus::noDevices();
    qint64 deviceCount_ = 0;
    double pollIntervalSeconds_ = defaultPollIntervalSeconds;
    TrayIconStyle trayIconStyle_ = TrayIconStyle::automatic;
    bool followCamera_ = false;
    bool notify_ = true;
    std::optional<QString> cameraUnavailable_;
    bool cameraInUse_ = false;
    std::optional<double> brightnessPercentage_;
    std::optional<double> temperatureKelvin_;
    TemperatureRange temperatureRange_;
    bool lightNeedsPermission_ = false;
    std::vector<LitraDevice> lights_;
    QSettings settings_;
    std::map<QString, QString> saveErrors_;
};

// Whether the polling loop can sleep this interval: positive, and in nanoseconds within the
// unsigned 64-bit count it sleeps by. A stored interval is read back only when it is usable.
bool isUsablePollInterval(double seconds);

// The one text shown for a status wherever a status is shown.
QString displayText(const LightStatus& status);

// The sentence added wherever the status is shown when a light needs permission.
QString missingPermissionText();

// Text from outside Glowdeck as it may be shown: control characters as visible pictures,
// no characters that change the direction or look of what follows, no final line break.
QString displayable(const QString& text);
