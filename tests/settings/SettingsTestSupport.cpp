#include "SettingsTestSupport.h"

#include "TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace settingstest {

ScopedEnv::ScopedEnv(const char* name, const QByteArray& value) : name_(name) {
    if (qEnvironmentVariableIsSet(name)) {
        previous_ = qgetenv(name);
    }
    qputenv(name, value);
}

ScopedEnv::~ScopedEnv() {
    if (previous_) {
        qputenv(name_, *previous_);
    } else {
        qunsetenv(name_);
    }
}

QJsonObject simulatedLight() {
    return {
        {"serial_number", "SIM-0001"},
        {"device_type", "Litra Glow"},
        {"is_on", true},
        {"brightness_in_lumen", 100},
        {"temperature_in_kelvin", 4000},
        {"minimum_brightness_in_lumen", 20},
        {"maximum_brightness_in_lumen", 250},
        {"minimum_temperature_in_kelvin", 2700},
        {"maximum_temperature_in_kelvin", 6500},
    };
}

Simulator::Simulator(const QJsonArray& lights)
    : state_("LITRA_SIM_STATE", dir_.filePath("lights.json").toUtf8()),
      log_("LITRA_SIM_LOG", dir_.filePath("runs.log").toUtf8()) {
    testsupport::writeFile(dir_.filePath("lights.json"),
                           QJsonDocument(QJsonObject{{"lights", lights}}).toJson());
}

std::shared_ptr<LitraController> Simulator::controller() {
    if (!controller_) {
        controller_ = std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR));
    }
    return controller_;
}

QStringList Simulator::runs() const {
    QStringList result;
    const QByteArray log = testsupport::readFile(dir_.filePath("runs.log"));
    for (const QByteArray& line : log.split('\n')) {
        // "<pid> <start_ns> <end_ns> <args...>"
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 3) {
            result << QString::fromUtf8(fields.mid(3).join(' '));
        }
    }
    return result;
}

QJsonArray Simulator::lights() const {
    return QJsonDocument::fromJson(testsupport::readFile(dir_.filePath("lights.json")))
        .object()
        .value("lights")
        .toArray();
}

}  // namespace settingstest
