#include "SessionService.h"

#include "AppState.h"
#include "CommandQueue.h"
#include "DisplayText.h"
#include "SerialNumber.h"
#include "ValueRanges.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QScopeGuard>

#include <cmath>
#include <utility>

namespace {

constexpr const char* tokenVariable = "XDG_ACTIVATION_TOKEN";

SessionError unguarded(const QString& reason) {
    return SessionError(
        SessionError::Kind::unguarded,
        SessionService::tr("Cannot make sure that only one Glowdeck runs in this session: %1.")
            .arg(reason));
}

}  // namespace

QVariantMap platformDataFromEnvironment() {
    QVariantMap data;
    for (const auto& [key, variable] : {std::pair{"activation-token", tokenVariable},
                                        std::pair{"desktop-startup-id", "DESKTOP_STARTUP_ID"}}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty()) {
            data.insert(QLatin1String(key), value);
        }
    }
    return data;
}

QString activationToken(const QVariantMap& platformData) {
    for (const char* key : {"activation-token", "desktop-startup-id"}) {
        const QVariant value = platformData.value(QLatin1String(key));
        if (value.typeId() == QMetaType::QString && !value.toString().isEmpty()) {
            return value.toString();
        }
    }
    return {};
}

void showWithActivationToken(const QString& token, const std::function<void()>& show) {
    // Only the caller's token: one left from Glowdeck's own launch is long used up.
    if (token.isEmpty()) {
        qunsetenv(tokenVariable);
    } else {
        qputenv(tokenVariable, token.toUtf8());
    }
    const auto unset = qScopeGuard([] { qunsetenv(tokenVariable); });
    show();
}

SessionService::SessionService(AppState& state, CommandQueue& commands,
                               std::function<void()> showPreferences, QObject* parent)
    : QObject(parent),
      state_(state),
      commands_(commands),
      showPreferences_(std::move(showPreferences)),
      entriesOf_(state_.lights()),
      entries_(lightEntries(entriesOf_)) {
    qDBusRegisterMetaType<QList<QVariantMap>>();
    connect(&state_, &AppState::changed, this, &SessionService::publishChanges);
}

QString SessionService::status() const {
    return displayText(state_.status());
}

int SessionService::deviceCount() const {
    return static_cast<int>(state_.deviceCount());
}

QList<QVariantMap> SessionService::lights() const {
    return entries_;
}

void SessionService::publishChanges() {
    if (state_.lights() != entriesOf_) {
        entriesOf_ = state_.lights();
        entries_ = lightEntries(entriesOf_);
    }
    Published now{status(), deviceCount(), lights()};
    QVariantMap changed;
    if (!published_ || published_->status != now.status) {
        changed.insert(QStringLiteral("Status"), now.status);
    }
    if (!published_ || published_->deviceCount != now.deviceCount) {
        changed.insert(QStringLiteral("DeviceCount"), now.deviceCount);
    }
    if (!published_ || published_->lights != now.lights) {
        changed.insert(QStringLiteral("Lights"), QVariant::fromValue(now.lights));
    }
    published_ = std::move(now);
    if (changed.isEmpty() || !bus_.isConnected()) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1String(objectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QLatin1String(interfaceName) << changed << QStringList();
    bus_.send(signal);
}

void SessionService::submit(LightCommand command) {
    if (refused(problemOf(command))) {
        return;
    }
    setDelayedReply(true);
    commands_.submit(
        std::move(command), [bus = connection(), call = message()](const CommandOutcome& outcome) {
            if (outcome.failure().isEmpty()) {
                bus.send(call.createReply());
            } else {
                bus.send(call.createErrorReply(
                    outcome.refused ? QStringLiteral("org.freedesktop.DBus.Error.LimitsExceeded")
                                    : QLatin1String(litraFailed),
                    outcome.failure()));
            }
        });
}

bool SessionService::refused(const QString& problem) {
    if (problem.isEmpty()) {
        return false;
    }
    sendErrorReply(QDBusError::InvalidArgs, problem);
    return true;
}

QString SessionService::problemOf(const LightCommand& command) const {
    QString problem;
    if (command.kind == LightCommand::Kind::brightness) {
        problem = valueRanges::brightnessProblem(command.value);
    } else if (command.kind == LightCommand::Kind::temperature) {
        problem = valueRanges::temperatureProblem(command.value);
    }
    if (problem.isEmpty() && !command.serial.isEmpty()) {
        problem = unlistedSerialNumberProblem(command.serial, state_.lights());
    }
    return problem;
}

void SessionService::Toggle(const QString& light) {
    submit(LightCommand::toggle(light));
}

void SessionService::On(const QString& light) {
    submit(LightCommand::on(light));
}

void SessionService::Off(const QString& light) {
    submit(LightCommand::off(light));
}

void SessionService::SetBrightness(int percentage, const QString& light) {
    submit(LightCommand::brightness(percentage, light));
}

void SessionService::SetTemperature(int kelvin, const QString& light) {
    submit(LightCommand::temperature(kelvin, light));
}

void SessionService::Refresh() {
    submit(LightCommand::refresh());
}

SessionService::Outcome SessionService::claim(QDBusConnection bus,
                                              const QVariantMap& platformData) {
    if (!bus.isConnected()) {
        throw unguarded(tr("there is no session bus (%1)").arg(bus.lastError().message()));
    }
    // Exported before the name is asked for, so that whoever sees the name can call it.
    if (!bus.registerObject(QLatin1String(objectPath), this,
                            QDBusConnection::ExportScriptableContents)) {
        throw unguarded(tr("the object %1 is taken on the session bus").arg(objectPath));
    }
    auto release = qScopeGuard([&] { bus.unregisterObject(QLatin1String(objectPath)); });
    QDBusConnectionInterface* names = bus.interface();
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(serviceName), QLatin1String(objectPath), QLatin1String(interfaceName),
        QStringLiteral("ShowPreferences"));
    call << platformData;
    QDBusMessage answer;
    // The owner may end between our request and our call; the name is then free to take.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> request =
            names->registerService(QLatin1String(serviceName),
                                   QDBusConnectionInterface::DontQueueService,
                                   QDBusConnectionInterface::DontAllowReplacement);
        if (!request.isValid()) {
            throw unguarded(tr("the session bus did not give the name %1 (%2)")
                                .arg(serviceName, request.error().message()));
        }
        if (request.value() == QDBusConnectionInterface::ServiceRegistered) {
            release.dismiss();
            bus_ = bus;
            published_ = Published{status(), deviceCount(), lights()};
            return Outcome::owner;
        }
        answer = bus.call(call, QDBus::Block, static_cast<int>(answerTimeout.count()));
        if (answer.type() == QDBusMessage::ReplyMessage) {
            return Outcome::handedOver;
        }
        if (QDBusError(answer).type() != QDBusError::ServiceUnknown) {
            break;
        }
    }
    const QDBusError::ErrorType error = QDBusError(answer).type();
    const bool timedOut = error == QDBusError::NoReply || error == QDBusError::Timeout;
    const QString reason =
        timedOut ? tr("no answer within %1 seconds")
                       .arg(std::chrono::duration_cast<std::chrono::seconds>(answerTimeout).count())
                 : answer.errorMessage().simplified();
    const QDBusReply<uint> pid = names->servicePid(QLatin1String(serviceName));
    throw SessionError(
        SessionError::Kind::notAnswering,
        tr("Glowdeck is already running (process %1) but did not answer: %2")
            .arg(pid.isValid() ? QString::number(pid.value()) : tr("unknown"), reason));
}

void SessionService::ShowPreferences(const QVariantMap& platformData) {
    showWithActivationToken(activationToken(platformData), showPreferences_);
}
