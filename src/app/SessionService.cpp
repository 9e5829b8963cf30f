#include "SessionService.h"

#include "AppDelegate.h"
#include "LitraController.h"
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

// Replies to `call` once `outcome` ends; nobody awaits it.
QCoro::Task<> replyWhenDone(QDBusConnection bus, QDBusMessage call, QCoro::Task<QString> outcome) {
    QString failure;
    try {
        failure = co_await std::move(outcome);
    } catch (...) {
        failure = localizedDescription(std::current_exception());
    }
    bus.send(failure.isEmpty() ? call.createReply()
                               : call.createErrorReply(QLatin1String(SessionService::litraFailed),
                                                       failure));
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

SessionService::SessionService(AppDelegate& delegate, QObject* parent)
    : QObject(parent), delegate_(delegate) {
    qDBusRegisterMetaType<QList<QVariantMap>>();
    // A refresh assigns several fields in a row: one check after the last of them.
    publishSoon_.setSingleShot(true);
    publishSoon_.setInterval(0);
    connect(&delegate_.appState(), &AppState::changed, &publishSoon_, qOverload<>(&QTimer::start));
    connect(&publishSoon_, &QTimer::timeout, this, &SessionService::publishChanges);
}

QString SessionService::status() const {
    return displayText(delegate_.appState().status());
}

int SessionService::deviceCount() const {
    return static_cast<int>(delegate_.appState().deviceCount());
}

QList<QVariantMap> SessionService::lights() const {
    return lightEntries(delegate_.appState().lights());
}

void SessionService::publishChanges() {
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

void SessionService::answerWhenDone(QCoro::Task<QString> outcome) {
    setDelayedReply(true);
    replyWhenDone(connection(), message(), std::move(outcome));
}

bool SessionService::refused(const QString& problem) {
    if (problem.isEmpty()) {
        return false;
    }
    sendErrorReply(QDBusError::InvalidArgs, problem);
    return true;
}

QString SessionService::lightProblem(const QString& light) const {
    return light.isEmpty() ? QString()
                           : unlistedSerialNumberProblem(light, delegate_.appState().lights());
}

void SessionService::Toggle(const QString& light) {
    if (!refused(lightProblem(light))) {
        answerWhenDone(
            delegate_.runCommand([light](LitraController& c) { return c.toggle(light); }));
    }
}

void SessionService::On(const QString& light) {
    if (!refused(lightProblem(light))) {
        answerWhenDone(delegate_.runCommand([light](LitraController& c) { return c.on(light); }));
    }
}

void SessionService::Off(const QString& light) {
    if (!refused(lightProblem(light))) {
        answerWhenDone(delegate_.runCommand([light](LitraController& c) { return c.off(light); }));
    }
}

void SessionService::SetBrightness(int percentage, const QString& light) {
    if (!refused(valueRanges::brightnessProblem(percentage)) && !refused(lightProblem(light))) {
        answerWhenDone(delegate_.runCommand(
            [=](LitraController& c) { return c.setBrightness(percentage, light); }));
    }
}

void SessionService::SetTemperature(int kelvin, const QString& light) {
    if (!refused(valueRanges::temperatureProblem(kelvin)) && !refused(lightProblem(light))) {
        answerWhenDone(delegate_.runCommand(
            [=](LitraController& c) { return c.setTemperature(kelvin, light); }));
    }
}

void SessionService::Refresh() {
    answerWhenDone(delegate_.refreshForCaller());
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
    showWithActivationToken(activationToken(platformData), [this] { delegate_.openPreferences(); });
}
