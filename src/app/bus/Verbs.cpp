#include "Verbs.h"

#include "AppState.h"
#include "BusNames.h"
#include "DisplayText.h"
#include "LightCommand.h"
#include "LightEntries.h"
#include "LitraController.h"
#include "LitraError.h"
#include "PanelStatus.h"
#include "SerialNumber.h"
#include "StatusWords.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <cstdio>
#include <optional>

namespace {

using Verb = Invocation::Verb;

struct Text {
    Q_DECLARE_TR_FUNCTIONS(Verbs)
};

// Long enough for a queue of commands before ours; each litra run has its own limit.
constexpr int callTimeoutMs = 120'000;

struct Snapshot {
    LightStatus status;
    qint64 deviceCount = 0;
    QList<QVariantMap> lights;
};

void printLine(FILE* stream, const QString& line) {
    std::fputs((line + u'\n').toUtf8().constData(), stream);
    std::fflush(stream);
}

// A bad argument: nothing was run.
int refused(const QString& reason) {
    printLine(stderr, QStringLiteral("glowdeck: ") + translatedError(reason));
    return 2;
}

// The reason as Glowdeck shows it in its status.
int failed(const QString& message) {
    printLine(stderr, shownText(LightStatus::error(message)));
    return 1;
}

QByteArray statusJson(const Snapshot& snapshot) {
    QJsonArray lights;
    for (const QVariantMap& light : snapshot.lights) {
        QJsonObject object;
        for (const char* key : {"serial_number", "name", "on", "brightness", "temperature"}) {
            const QString name = QLatin1String(key);
            object.insert(name, light.contains(name) ? QJsonValue::fromVariant(light.value(name))
                                                     : QJsonValue());
        }
        lights.append(object);
    }
    const PanelStatus panel = panelStatus(snapshot.status, snapshot.lights);
    QJsonObject root{{QStringLiteral("status"), displayText(snapshot.status)},
                     {QStringLiteral("device_count"), snapshot.deviceCount},
                     {QStringLiteral("lights"), lights},
                     {QStringLiteral("state"), panel.state},
                     {QStringLiteral("text"), panel.text},
                     {QStringLiteral("tooltip"), panel.tooltip},
                     {QStringLiteral("class"), panel.state}};
    if (panel.percentage) {
        root.insert(QStringLiteral("percentage"), *panel.percentage);
    }
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

// The JSON form is for panels, which hide a module whose command fails: it exits 0 once
// printed, the error being in its "state".
int printStatus(const Snapshot& snapshot, bool json) {
    if (json) {
        printLine(stdout, QString::fromUtf8(statusJson(snapshot)));
        return 0;
    }
    printLine(stdout, statusWords(snapshot.status).headline + QStringLiteral("; ") +
                          deviceCountText(snapshot.deviceCount));
    if (snapshot.status.isError()) {
        printLine(stderr, shownText(snapshot.status));
        return 1;
    }
    return 0;
}

// The light command a verb gives; refresh for refresh and status.
LightCommand lightCommand(const Invocation& invocation) {
    const QString& light = invocation.light;
    switch (invocation.verb) {
        case Verb::toggle:
            return LightCommand::toggle(light);
        case Verb::on:
            return LightCommand::on(light);
        case Verb::off:
            return LightCommand::off(light);
        case Verb::brightness:
            return LightCommand::brightness(invocation.value, light);
        case Verb::temperature:
            return LightCommand::temperature(invocation.value, light);
        default:
            return LightCommand::refresh();
    }
}

// -- through the running Glowdeck --------------------------------------------------------------

QDBusMessage busCall(const Invocation& invocation) {
    const auto call = [](const char* interface, const char* method) {
        return QDBusMessage::createMethodCall(QLatin1String(bus::serviceName),
                                              QLatin1String(bus::objectPath),
                                              QLatin1String(interface), QLatin1String(method));
    };
    if (invocation.verb == Verb::status) {
        return call("org.freedesktop.DBus.Properties", "GetAll")
               << QLatin1String(bus::interfaceName);
    }
    static constexpr std::pair<LightCommand::Kind, const char*> methods[] = {
        {LightCommand::Kind::toggle, "Toggle"},
        {LightCommand::Kind::on, "On"},
        {LightCommand::Kind::off, "Off"},
        {LightCommand::Kind::brightness, "SetBrightness"},
        {LightCommand::Kind::temperature, "SetTemperature"},
        {LightCommand::Kind::refresh, "Refresh"},
    };
    const LightCommand command = lightCommand(invocation);
    QDBusMessage message;
    for (const auto& [kind, method] : methods) {
        if (kind == command.kind) {
            message = call(bus::interfaceName, method);
        }
    }
    if (command.settlesOnLatest()) {
        message << static_cast<int>(command.value);
    }
    if (command.changesLights()) {
        message << command.serial;
    }
    return message;
}

// The exit status, or none when no Glowdeck runs on the session bus.
std::optional<int> throughRunningGlowdeck(const Invocation& invocation) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return std::nullopt;
    }
    const QDBusMessage answer = bus.call(busCall(invocation), QDBus::Block, callTimeoutMs);
    if (answer.type() == QDBusMessage::ErrorMessage) {
        if (answer.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")) {
            return std::nullopt;
        }
        if (answer.errorName() == QLatin1String("org.freedesktop.DBus.Error.InvalidArgs")) {
            return refused(answer.errorMessage());
        }
        if (answer.errorName() == QLatin1String(bus::litraFailed)) {
            return failed(answer.errorMessage());
        }
        printLine(stderr, QStringLiteral("glowdeck: ") +
                              Text::tr("the running Glowdeck did not carry it out: %1")
                                  .arg(translatedError(answer.errorMessage().simplified())));
        return 1;
    }
    if (invocation.verb != Verb::status) {
        return 0;
    }
    qDBusRegisterMetaType<QList<QVariantMap>>();
    const auto properties = qdbus_cast<QVariantMap>(answer.arguments().value(0));
    Snapshot snapshot;
    snapshot.status = statusFromDisplayText(properties.value(QStringLiteral("Status")).toString());
    snapshot.deviceCount = properties.value(QStringLiteral("DeviceCount")).toLongLong();
    snapshot.lights = qdbus_cast<QList<QVariantMap>>(properties.value(QStringLiteral("Lights")));
    return printStatus(snapshot, invocation.json);
}

// -- with none running ---------------------------------------------------------------------------

// Runs the event loop until the task ends; the tasks here throw nothing.
template <typename T>
T finish(QCoro::Task<T> task) {
    while (!task.isReady()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return task.operator co_await().await_resume();
}

// The failure's message; empty when the command went through. A light not in the report is
// refused before the command runs (`unlisted`).
QCoro::Task<QString> command(std::shared_ptr<LitraController> controller, Invocation invocation,
                             QString* unlisted) {
    try {
        if (!invocation.light.isEmpty()) {
            *unlisted =
                unlistedSerialNumberProblem(invocation.light, co_await controller->devices());
            if (!unlisted->isEmpty()) {
                co_return QString();
            }
        }
        co_await runLightCommand(*controller, lightCommand(invocation));
    } catch (...) {
        co_return localizedDescription(std::current_exception());
    }
    co_return QString();
}

QCoro::Task<Snapshot> query(std::shared_ptr<LitraController> controller) {
    Snapshot snapshot;
    LightStatus status;
    try {
        const std::vector<LitraDevice> devices = co_await controller->devices();
        status = LitraController::foldStatus(devices);
        snapshot.deviceCount = static_cast<qint64>(devices.size());
        snapshot.lights = lightEntries(devices);
    } catch (...) {
        status = LightStatus::error(localizedDescription(std::current_exception()));
    }
    snapshot.status = status;
    co_return snapshot;
}

int byItself(const Invocation& invocation) {
    std::shared_ptr<LitraController> controller;
    try {
        // The same litra as the tray application: the one chosen in Preferences, else the shipped
        // one.
        controller =
            makeLitraController(QSettings(QStringLiteral("Glowdeck"), QStringLiteral("Glowdeck"))
                                    .value(QLatin1String(AppState::litraPathKey))
                                    .toString());
    } catch (const std::exception& error) {
        if (invocation.verb != Verb::status) {
            return failed(localizedDescription(error));
        }
        return printStatus({LightStatus::error(localizedDescription(error)), 0, {}},
                           invocation.json);
    }
    if (invocation.verb == Verb::status || invocation.verb == Verb::refresh) {
        const Snapshot snapshot = finish(query(controller));
        if (invocation.verb == Verb::status) {
            return printStatus(snapshot, invocation.json);
        }
        if (snapshot.status.isError()) {
            printLine(stderr, shownText(snapshot.status));
            return 1;
        }
        return 0;
    }
    QString unlisted;
    const QString failure = finish(command(controller, invocation, &unlisted));
    if (!unlisted.isEmpty()) {
        return refused(unlisted);
    }
    return failure.isEmpty() ? 0 : failed(failure);
}

}  // namespace

int runVerb(const Invocation& invocation) {
    if (const auto status = throughRunningGlowdeck(invocation)) {
        return *status;
    }
    return byItself(invocation);
}
