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

// What one refresh found, published whole: the icon, the menu, Preferences and the bus each
// read it. Equal snapshots mean nothing changed for anyone who shows them.
struct LightsSnapshot {
    LightStatus status = LightStatus::noDevices();
    qint64 deviceCount = 0;
    std::vector<LitraDevice> lights;
    // The lights' average brightness in per cent and temperature in kelvin, and the range of
    // temperatures they all accept (the last one known when this report gives none).
    std::optional<double> brightnessPercentage;
    std::optional<double> temperatureKelvin;
    TemperatureRange temperatureRange;
    // A light is connected whose device the user may not use, as found after the last miss.
    bool lightNeedsPermission = false;

    // The snapshot of a report; a failed query has no lights.
    static LightsSnapshot of(LightStatus status, std::vector<LitraDevice> lights,
                             bool lightNeedsPermission, TemperatureRange knownRange);
    // Derives brightness, temperature and, when the lights share one, the range from a report.
    void updateMetrics(const std::vector<LitraDevice>& devices);
    friend bool operator==(const LightsSnapshot&, const LightsSnapshot&) = default;
};

// How the tray icon is coloured: Automatic suits it to the panel behind it; Light (for a dark
// panel) and Dark (for a light one) are for a panel that defeats that.
enum class TrayIconStyle { automatic, light, dark };

// The one observable state shared by the tray icon, the menu, Preferences and the bus. Lives on
// the GUI thread. `changed` is emitted after a new value is stored: for the lights only when the
// snapshot differs from the last one, for the other fields on every assignment; observers
// re-read the fields.
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

    const LightsSnapshot& snapshot() const { return snapshot_; }
    // Stores the snapshot and sends `changed`, unless it equals the one stored.
    void publish(LightsSnapshot snapshot);

    const LightStatus& status() const { return snapshot_.status; }
    // A failure shown in place of the status; the lights and figures stay as they were.
    void setStatus(LightStatus status);

    qint64 deviceCount() const { return snapshot_.deviceCount; }
    void setDeviceCount(qint64 count);

    double pollIntervalSeconds() const { return pollIntervalSeconds_; }
    // Stores the value and writes it to the settings file, on every assignment.
    void setPollIntervalSeconds(double seconds);

    TrayIconStyle trayIconStyle() const { return trayIconStyle_; }
    // Stores the style and writes it to the settings file.
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

    std::optional<double> brightnessPercentage() const { return snapshot_.brightnessPercentage; }
    void setBrightnessPercentage(std::optional<double> percentage);

    std::optional<double> temperatureKelvin() const { return snapshot_.temperatureKelvin; }
    void setTemperatureKelvin(std::optional<double> kelvin);

    TemperatureRange temperatureRange() const { return snapshot_.temperatureRange; }
    void setTemperatureRange(TemperatureRange range);

    bool lightNeedsPermission() const { return snapshot_.lightNeedsPermission; }

    // The litra tool chosen in Preferences; empty for the one shipped with Glowdeck. Stored in
    // the settings file; litraPathChanged follows `changed` when the value differs.
    QString litraPath() const;
    void setLitraPath(const QString& path);
    // Each light as the last refresh reported it.
    const std::vector<LitraDevice>& lights() const { return snapshot_.lights; }

    // The stored tray icon style ("Automatic", "Light" or "Dark"); Automatic for anything else.
    static TrayIconStyle readTrayIconStyle(const QSettings& settings);

    // Why the last change of the setting `key` could not be written to the settings file;
    // none once a change of it was written. The value holds for this run all the same.
    std::optional<QString> saveError(const char* key) const;

signals:
    void changed();
    void litraPathChanged();

private:
    // Writes the setting at once (an invalid value removes it) and notes whether that failed.
    void store(const char* key, const QVariant& value);

    LightsSnapshot snapshot_;
    double pollIntervalSeconds_ = defaultPollIntervalSeconds;
    TrayIconStyle trayIconStyle_ = TrayIconStyle::automatic;
    bool followCamera_ = false;
    bool notify_ = true;
    std::optional<QString> cameraUnavailable_;
    bool cameraInUse_ = false;
    QSettings settings_;
    std::map<QString, QString> saveErrors_;
};

// Whether the polling loop can sleep this interval: positive, and in nanoseconds within the
// unsigned 64-bit count it sleeps by. A stored interval is read back only when it is usable.
bool isUsablePollInterval(double seconds);
