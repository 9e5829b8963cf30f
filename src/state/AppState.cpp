#include "AppState.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>
#include <cmath>

bool isUsablePollInterval(double seconds) {
    // 2^64 as a double is exact; anything at or above it does not fit the count.
    constexpr double countLimit = 18446744073709551616.0;
    const double nanoseconds = seconds * 1e9;
    return std::isfinite(nanoseconds) && nanoseconds > 0.0 && nanoseconds < countLimit;
}

namespace {

// A tray icon style as the settings file names it.
QString storedName(TrayIconStyle style) {
    switch (style) {
        case TrayIconStyle::automatic:
            break;
        case TrayIconStyle::light:
            return QStringLiteral("Light");
        case TrayIconStyle::dark:
            return QStringLiteral("Dark");
    }
    return QStringLiteral("Automatic");
}

}  // namespace

AppState::AppState(QObject* parent)
    : QObject(parent), settings_(QStringLiteral("Glowdeck"), QStringLiteral("Glowdeck")) {
    // A stored interval that cannot be used leaves the default in place.
    bool ok = false;
    const double stored = settings_.value(QLatin1String(pollIntervalKey)).toDouble(&ok);
    if (ok && isUsablePollInterval(stored)) {
        pollIntervalSeconds_ = stored;
    }
    trayIconStyle_ = readTrayIconStyle(settings_);
    followCamera_ = settings_.value(QLatin1String(followCameraKey), false).toBool();
    notify_ = settings_.value(QLatin1String(notifyKey), true).toBool();
}

TrayIconStyle AppState::readTrayIconStyle(const QSettings& settings) {
    const QString stored = settings.value(QLatin1String(trayIconStyleKey)).toString();
    for (TrayIconStyle style : {TrayIconStyle::light, TrayIconStyle::dark}) {
        if (stored == storedName(style)) {
            return style;
        }
    }
    return TrayIconStyle::automatic;
}

void AppState::publish(LightsSnapshot snapshot) {
    if (snapshot == snapshot_) {
        return;
    }
    snapshot_ = std::move(snapshot);
    emit changed();
}

void AppState::setStatus(LightStatus status) {
    LightsSnapshot next = snapshot_;
    next.status = std::move(status);
    publish(std::move(next));
}

void AppState::setDeviceCount(qint64 count) {
    LightsSnapshot next = snapshot_;
    next.deviceCount = count;
    publish(std::move(next));
}

void AppState::setPollIntervalSeconds(double seconds) {
    pollIntervalSeconds_ = seconds;
    emit changed();
    store(pollIntervalKey, seconds);
}

void AppState::store(const char* key, const QVariant& value) {
    // A QSettings of its own: the status of one stays at its first error, and what could not be
    // written stays in the file's shared cache, to be written by the next change that can be.
    QSettings settings(QStringLiteral("Glowdeck"), QStringLiteral("Glowdeck"));
    if (value.isValid()) {
        settings.setValue(QLatin1String(key), value);
    } else {
        settings.remove(QLatin1String(key));
    }
    settings.sync();
    if (settings.status() == QSettings::NoError) {
        if (saveErrors_.erase(QLatin1String(key)) > 0) {
            emit changed();
        }
        return;
    }
    const QString why = settings.status() == QSettings::FormatError
                            ? tr("is not in the format Glowdeck writes")
                            : tr("or its folder cannot be written");
    saveErrors_[QLatin1String(key)] =
        tr("Not saved: the settings file %1 %2. The choice holds until Glowdeck quits.")
            .arg(settings.fileName(), why);
    emit changed();
}

std::optional<QString> AppState::saveError(const char* key) const {
    const auto found = saveErrors_.find(QLatin1String(key));
    return found == saveErrors_.end() ? std::nullopt : std::optional(found->second);
}

QString AppState::litraPath() const {
    return settings_.value(QLatin1String(litraPathKey)).toString();
}

void AppState::setLitraPath(const QString& path) {
    const bool differs = path != litraPath();
    store(litraPathKey, path.isEmpty() ? QVariant() : QVariant(path));
    emit changed();
    if (differs) {
        emit litraPathChanged();
    }
}

void AppState::setTrayIconStyle(TrayIconStyle style) {
    trayIconStyle_ = style;
    emit changed();
    store(trayIconStyleKey, storedName(style));
}

void AppState::setFollowCamera(bool follow) {
    followCamera_ = follow;
    emit changed();
    store(followCameraKey, follow);
}

void AppState::setNotify(bool notify) {
    notify_ = notify;
    emit changed();
    settings_.setValue(QLatin1String(notifyKey), notify);
    settings_.sync();
}

void AppState::setCameraUnavailable(std::optional<QString> reason) {
    cameraUnavailable_ = std::move(reason);
    emit changed();
}

void AppState::setCameraInUse(bool inUse) {
    cameraInUse_ = inUse;
    emit changed();
}

void AppState::setBrightnessPercentage(std::optional<double> percentage) {
    LightsSnapshot next = snapshot_;
    next.brightnessPercentage = percentage;
    publish(std::move(next));
}

void AppState::setTemperatureKelvin(std::optional<double> kelvin) {
    LightsSnapshot next = snapshot_;
    next.temperatureKelvin = kelvin;
    publish(std::move(next));
}

void AppState::setTemperatureRange(TemperatureRange range) {
    LightsSnapshot next = snapshot_;
    next.temperatureRange = range;
    publish(std::move(next));
}

LightsSnapshot LightsSnapshot::of(LightStatus status, std::vector<LitraDevice> lights,
                                  bool lightNeedsPermission, TemperatureRange knownRange) {
    LightsSnapshot snapshot;
    snapshot.status = std::move(status);
    snapshot.deviceCount = static_cast<qint64>(lights.size());
    snapshot.lightNeedsPermission = lightNeedsPermission;
    snapshot.temperatureRange = knownRange;
    snapshot.updateMetrics(lights);
    snapshot.lights = std::move(lights);
    return snapshot;
}

void LightsSnapshot::updateMetrics(const std::vector<LitraDevice>& devices) {
    double brightnessSum = 0.0;
    int brightnessCount = 0;
    double temperatureSum = 0.0;
    int temperatureCount = 0;
    std::optional<double> highestMinimum;
    std::optional<double> lowestMaximum;
    for (const LitraDevice& d : devices) {
        if (const std::optional<double> percentage = d.brightnessPercentage()) {
            brightnessSum += *percentage;
            ++brightnessCount;
        }
        if (d.temperature_in_kelvin) {
            temperatureSum += static_cast<double>(*d.temperature_in_kelvin);
            ++temperatureCount;
        }
        if (d.minimum_temperature_in_kelvin) {
            double v = static_cast<double>(*d.minimum_temperature_in_kelvin);
            highestMinimum = highestMinimum ? std::max(*highestMinimum, v) : v;
        }
        if (d.maximum_temperature_in_kelvin) {
            double v = static_cast<double>(*d.maximum_temperature_in_kelvin);
            lowestMaximum = lowestMaximum ? std::min(*lowestMaximum, v) : v;
        }
    }
    brightnessPercentage =
        brightnessCount > 0 ? std::optional(brightnessSum / brightnessCount) : std::nullopt;
    temperatureKelvin =
        temperatureCount > 0 ? std::optional(temperatureSum / temperatureCount) : std::nullopt;
    if (highestMinimum && lowestMaximum && *highestMinimum < *lowestMaximum) {
        temperatureRange = {*highestMinimum, *lowestMaximum};
    }
}

QString displayText(const LightStatus& status) {
    // In English, as the bus and the JSON carry it; statusWords() translates it for people.
    switch (status.kind()) {
        case LightStatus::Case::allOn:
            return QStringLiteral(QT_TRANSLATE_NOOP("StatusWords", "All lights: On"));
        case LightStatus::Case::allOff:
            return QStringLiteral(QT_TRANSLATE_NOOP("StatusWords", "All lights: Off"));
        case LightStatus::Case::mixed:
            return QStringLiteral(QT_TRANSLATE_NOOP("StatusWords", "Lights: Mixed"));
        case LightStatus::Case::noDevices:
            return QStringLiteral(QT_TRANSLATE_NOOP("StatusWords", "No Litra devices found"));
        case LightStatus::Case::error:
            return QStringLiteral("Error: ") + displayable(status.message());
    }
    return {};
}

QString deviceCountText(qint64 deviceCount) {
    const auto count = static_cast<int>(std::min(deviceCount, qint64{INT_MAX}));
    return QCoreApplication::translate("StatusMenu", "%n device(s) connected", nullptr, count);
}

QString missingPermissionText() {
    return QCoreApplication::translate(
        "StatusWords", "A light is connected, but you do not have permission to use it.");
}

QString displayable(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == u'\n' || text[end - 1] == u'\r')) {
        --end;
    }
    QString shown;
    shown.reserve(end);
    for (const QChar c : QStringView(text).first(end)) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\t') {
            shown += c;
        } else if (u < 0x20) {
            shown += QChar(0x2400 + u);  // the control picture: NUL shows as ␀, ESC as ␛
        } else if (u == 0x7f) {
            shown += QChar(0x2421);  // ␡
        } else if ((u < 0x80 || u >= 0xa0) && c.category() != QChar::Other_Format) {
            shown += c;
        }
        // Left out: C1 controls, and format characters (direction overrides and isolates,
        // marks, invisible joiners), which could make the text read as something else.
    }
    return shown;
}
