#include "PreferencesForm.h"

#include "DisplayText.h"
#include "LightAccess.h"
#include "LitraController.h"
#include "LitraError.h"
#include "LitraTool.h"

#include <QCoreApplication>

#include <cmath>

namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("PreferencesView", text);
}

double clamped(double value, double lower, double upper) {
    if (value < lower) {
        value = lower;
    }
    if (value > upper) {
        value = upper;
    }
    return value;
}

}  // namespace

qint64 wholeNumber(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    // Saturate instead of overflowing on absurd device figures.
    constexpr double limit = 9.2e18;
    return static_cast<qint64>(std::trunc(clamped(value, -limit, limit)));
}

QString brightnessValueText(double percentage) {
    return translated(QT_TRANSLATE_NOOP("PreferencesView", "%1%")).arg(wholeNumber(percentage));
}

QString temperatureValueText(double kelvin) {
    return translated(QT_TRANSLATE_NOOP("PreferencesView", "%1K")).arg(wholeNumber(kelvin));
}

QString pollIntervalValueText(double seconds) {
    return translated(QT_TRANSLATE_NOOP("PreferencesView", "%1s")).arg(wholeNumber(seconds));
}

QString trayIconStyleText(TrayIconStyle style) {
    switch (style) {
        case TrayIconStyle::automatic:
            break;
        case TrayIconStyle::light:
            return translated(QT_TRANSLATE_NOOP("PreferencesView", "Light"));
        case TrayIconStyle::dark:
            return translated(QT_TRANSLATE_NOOP("PreferencesView", "Dark"));
    }
    return translated(QT_TRANSLATE_NOOP("PreferencesView", "Automatic"));
}

PreferencesForm::PreferencesForm(AppState* appState, CommandQueue* commands,
                                 LoginItemService loginItems, QObject* parent)
    : QObject(parent),
      appState_(appState),
      commands_(commands),
      loginItems_(std::move(loginItems)),
      launchAtLogin_(loginItems_.isEnabled()) {
    connect(appState_, &AppState::changed, this, &PreferencesForm::appStateChanged);
}

bool PreferencesForm::hasDevices() const {
    return appState_->deviceCount() > 0;
}

double PreferencesForm::lightSliderOpacity() const {
    return hasDevices() ? 1.0 : dimmedOpacity;
}

QList<std::pair<QString, QString>> PreferencesForm::applyToChoices() const {
    QList<std::pair<QString, QString>> choices{
        {translated(QT_TRANSLATE_NOOP("PreferencesView", "All lights")), QString()}};
    for (const LitraDevice& light : appState_->lights()) {
        if (light.serial_number && !light.serial_number->isEmpty()) {
            const QString name = displayable(light.device_type.value_or(QString()));
            choices.append({name.isEmpty() ? displayable(*light.serial_number)
                                           : name + QStringLiteral(" (") +
                                                 displayable(*light.serial_number) + u')',
                            *light.serial_number});
        }
    }
    return choices;
}

void PreferencesForm::setAppliesTo(const QString& serial) {
    if (serial == appliesTo_) {
        return;
    }
    appliesTo_ = serial;
    seenBrightness_ = brightnessFigure();
    seenTemperature_ = temperatureFigure();
    seenRange_ = rangeFigure();
    syncBrightnessSlider();
    syncTemperatureSlider();
    emit changed();
}

const LitraDevice* PreferencesForm::chosenLight() const {
    for (const LitraDevice& light : appState_->lights()) {
        if (!appliesTo_.isEmpty() && light.serial_number == appliesTo_) {
            return &light;
        }
    }
    return nullptr;
}

std::optional<double> PreferencesForm::brightnessFigure() const {
    const LitraDevice* light = chosenLight();
    if (!light) {
        return appState_->brightnessPercentage();
    }
    return light->brightnessPercentage();
}

std::optional<double> PreferencesForm::temperatureFigure() const {
    const LitraDevice* light = chosenLight();
    if (!light) {
        return appState_->temperatureKelvin();
    }
    return light->temperature_in_kelvin ? std::optional(double(*light->temperature_in_kelvin))
                                        : std::nullopt;
}

TemperatureRange PreferencesForm::rangeFigure() const {
    const LitraDevice* light = chosenLight();
    if (light && light->minimum_temperature_in_kelvin && light->maximum_temperature_in_kelvin &&
        *light->minimum_temperature_in_kelvin < *light->maximum_temperature_in_kelvin) {
        return {double(*light->minimum_temperature_in_kelvin),
                double(*light->maximum_temperature_in_kelvin)};
    }
    return appState_->temperatureRange();
}

slider::Range PreferencesForm::temperatureSliderRange() const {
    const TemperatureRange range = rangeFigure();
    return {range.lower, range.upper};
}

QString PreferencesForm::pollIntervalText() const {
    return pollIntervalValueText(appState_->pollIntervalSeconds());
}

StatusWords PreferencesForm::stateWords() const {
    return statusWords(appState_->status(), appState_->lightNeedsPermission());
}

std::optional<QString> PreferencesForm::lightsNote() const {
    if (hasDevices()) {
        return std::nullopt;
    }
    if (appState_->status().isError()) {
        return translated(QT_TRANSLATE_NOOP(
            "PreferencesView", "The lights cannot be asked: the litra tool failed (see Status)."));
    }
    return translated(QT_TRANSLATE_NOOP("PreferencesView", "No Litra devices connected."));
}

QString PreferencesForm::brightnessText() const {
    return isEditingBrightness_ || brightnessFigure() ? brightnessValueText(brightnessSlider_)
                                                      : QStringLiteral("–");
}

QString PreferencesForm::temperatureText() const {
    return isEditingTemperature_ || temperatureFigure() ? temperatureValueText(temperatureSlider_)
                                                        : QStringLiteral("–");
}

QString PreferencesForm::deviceCountText() const {
    return QString::number(appState_->deviceCount());
}

QString PreferencesForm::permissionFixText() const {
    const QString rule = shippedUdevRule();
    QString text = translated(QT_TRANSLATE_NOOP("PreferencesView",
                                                "Glowdeck's udev rule %1 gives "
                                                "you access."))
                       .arg(rule);
    // Outside the folders udev reads, as after an install under /usr/local or in a build tree.
    if (!rule.startsWith(QLatin1String("/usr/lib/udev/rules.d/")) &&
        !rule.startsWith(QLatin1String("/lib/udev/rules.d/"))) {
        QString quoted = rule;
        quoted.replace(u'\'', QLatin1String("'\\''"));
        text += translated(QT_TRANSLATE_NOOP("PreferencesView",
                                             " Copy it to /etc/udev/rules.d and load it:")) +
                QStringLiteral("\nsudo cp '%1' /etc/udev/rules.d/").arg(quoted);
    } else {
        text += translated(QT_TRANSLATE_NOOP("PreferencesView", " Load it:"));
    }
    return text + QStringLiteral("\nsudo udevadm control --reload-rules\nsudo udevadm trigger");
}

void PreferencesForm::appear() {
    if (!observing_) {
        observing_ = true;
        seenBrightness_ = brightnessFigure();
        seenTemperature_ = temperatureFigure();
        seenRange_ = rangeFigure();
    }
    syncBrightnessSlider();
    syncTemperatureSlider();
}

void PreferencesForm::appStateChanged() {
    // A chosen light that is gone hands the sliders back to all lights.
    if (!appliesTo_.isEmpty() && !chosenLight()) {
        appliesTo_.clear();
    }
    if (observing_) {
        if (const auto brightness = brightnessFigure(); brightness != seenBrightness_) {
            seenBrightness_ = brightness;
            if (!isEditingBrightness_) {
                syncBrightnessSlider();
            }
        }
        if (const auto temperature = temperatureFigure(); temperature != seenTemperature_) {
            seenTemperature_ = temperature;
            if (!isEditingTemperature_) {
                syncTemperatureSlider();
            }
        }
        if (const TemperatureRange range = rangeFigure(); range != seenRange_) {
            seenRange_ = range;
            clampTemperatureSlider(range);
        }
    }
    emit changed();
}

void PreferencesForm::setBrightnessSlider(double value) {
    brightnessSlider_ = value;
    emit changed();
}

void PreferencesForm::setTemperatureSlider(double value) {
    temperatureSlider_ = value;
    emit changed();
}

void PreferencesForm::setLaunchAtLoginToggle(bool on) {
    if (on == launchAtLogin_) {
        return;
    }
    launchAtLogin_ = on;
    emit changed();
    launchAtLoginChanged(on);
}

void PreferencesForm::setPollIntervalSeconds(double seconds) {
    appState_->setPollIntervalSeconds(seconds);
}

void PreferencesForm::setTrayIconStyle(TrayIconStyle style) {
    appState_->setTrayIconStyle(style);
}

void PreferencesForm::chooseLitraPath(const QString& path) {
    litraChoiceError_ = litraPathProblem(path);
    if (litraChoiceError_) {
        litraChoiceError_ = translatedError(*litraChoiceError_);
        emit changed();
        return;
    }
    appState_->setLitraPath(path);
    checkLitra();
}

void PreferencesForm::resetLitraPath() {
    litraChoiceError_.reset();
    appState_->setLitraPath({});
    checkLitra();
}

void PreferencesForm::checkLitra() {
    std::shared_ptr<LitraController> controller = commands_->controller();
    simulated_ = false;
    ++litraChecks_;
    if (!controller) {
        litraPathText_ = appState_->litraPath();
        litraNote_ = litraPathText_.isEmpty()
                         ? translated(QT_TRANSLATE_NOOP(
                               "PreferencesView",
                               "Glowdeck came without a litra tool. Choose the one you installed, "
                               "such as ~/.local/bin/litra."))
                         : displayable(translatedError(appState_->status().message()));
        emit changed();
        return;
    }
    litraPathText_ = controller->binaryURL();
    litraNote_.clear();
    emit changed();
    runLitraCheck(this, std::move(controller), litraChecks_);
}

QCoro::Task<> PreferencesForm::runLitraCheck(QPointer<PreferencesForm> form,
                                             std::shared_ptr<LitraController> controller,
                                             quint64 check) {
    QString note;
    bool simulated = false;
    try {
        note = co_await controller->version();
        simulated = isSimulatorVersion(note);
        if (note.isEmpty()) {
            note =
                translated(QT_TRANSLATE_NOOP("PreferencesView", "litra --version printed nothing"));
        }
    } catch (...) {
        note = localizedDescription(std::current_exception());
    }
    if (form && form->litraChecks_ == check) {
        form->litraNote_ = displayable(translatedError(note));
        form->simulated_ = simulated;
        emit form->changed();
    }
}

void PreferencesForm::syncBrightnessSlider() {
    if (const auto brightness = brightnessFigure()) {
        setBrightnessSlider(*brightness);
    }
}

void PreferencesForm::syncTemperatureSlider() {
    if (const auto temperature = temperatureFigure()) {
        const TemperatureRange range = rangeFigure();
        setTemperatureSlider(clamped(*temperature, range.lower, range.upper));
    }
}

void PreferencesForm::clampTemperatureSlider(TemperatureRange to) {
    setTemperatureSlider(clamped(temperatureSlider_, to.lower, to.upper));
}

void PreferencesForm::brightnessEditingChanged(bool editing) {
    isEditingBrightness_ = editing;
    emit changed();
    if (!editing) {
        sendLightCommand(LightCommand::brightness(wholeNumber(brightnessSlider_), appliesTo_));
    }
}

void PreferencesForm::temperatureEditingChanged(bool editing) {
    isEditingTemperature_ = editing;
    emit changed();
    if (!editing) {
        sendLightCommand(LightCommand::temperature(wholeNumber(temperatureSlider_), appliesTo_));
    }
}

void PreferencesForm::sendLightCommand(LightCommand command) {
    if (!commands_->controller()) {
        return;  // the status says why
    }
    commands_->submit(std::move(command), [form = QPointer<PreferencesForm>(this)](
                                              const CommandOutcome& outcome) {
        // The refresh's failure is the status, shown in its own place.
        if (form) {
            const QString& failure = outcome.commandFailure;
            form->setLightActionError(failure.isEmpty() ? std::nullopt : std::optional(failure));
            emit form->lightCommandFinished();
        }
    });
}

void PreferencesForm::launchAtLoginChanged(bool on) {
    try {
        setLaunchAtLogin(on);
        setLaunchError(std::nullopt);
    } catch (...) {
        setLaunchError(localizedDescription(std::current_exception()));
        // Shows the real state again. This is the form's own correction, not the user's
        // choice, so it runs no handler: a second run would find the service matching and
        // clear the message just set.
        launchAtLogin_ = loginItems_.isEnabled();
        emit changed();
    }
}

void PreferencesForm::setLaunchAtLogin(bool wanted) {
    const bool enabled = loginItems_.isEnabled();
    if (wanted && !enabled) {
        loginItems_.registerItem();
    } else if (!wanted && enabled) {
        loginItems_.unregisterItem();
    }
}

void PreferencesForm::setLightActionError(std::optional<QString> error) {
    lightActionError_ = std::move(error);
    emit changed();
}

void PreferencesForm::setLaunchError(std::optional<QString> error) {
    launchError_ = std::move(error);
    emit changed();
}
