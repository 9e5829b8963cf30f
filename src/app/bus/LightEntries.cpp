#include "LightEntries.h"

#include "LitraDevice.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

QVariantMap lightEntry(const LitraDevice& device) {
    QVariantMap entry;
    if (device.serial_number) {
        entry.insert(QStringLiteral("serial_number"), *device.serial_number);
    }
    if (device.device_type) {
        entry.insert(QStringLiteral("name"), *device.device_type);
    }
    if (device.is_on) {
        entry.insert(QStringLiteral("on"), *device.is_on);
    }
    if (const std::optional<double> percentage = device.brightnessPercentage()) {
        entry.insert(QStringLiteral("brightness"), static_cast<int>(std::lround(*percentage)));
    }
    if (device.temperature_in_kelvin) {
        entry.insert(QStringLiteral("temperature"),
                     static_cast<int>(*device.temperature_in_kelvin));
    }
    return entry;
}

QList<QVariantMap> lightEntries(const std::vector<LitraDevice>& devices) {
    QList<QVariantMap> entries;
    for (const LitraDevice& device : devices) {
        entries.append(lightEntry(device));
    }
    return entries;
}

namespace {

QString nameOf(const LitraDevice& light, qsizetype index) {
    return light.device_type.value_or(light.serial_number.value_or(
        QCoreApplication::translate("StatusMenu", "Light %1").arg(index + 1)));
}

// The shortest end of `serial`, four characters or more, that no other serial ends in.
QString distinctEnd(const QString& serial, const QStringList& others) {
    qsizetype length = std::min<qsizetype>(4, serial.size());
    while (length < serial.size() &&
           std::any_of(others.cbegin(), others.cend(), [&](const QString& other) {
               return other.endsWith(serial.right(length));
           })) {
        ++length;
    }
    return length < serial.size() ? QChar(0x2026) + serial.right(length) : serial;
}

}  // namespace

QStringList lightLabels(const std::vector<LitraDevice>& lights) {
    QStringList names;
    for (const LitraDevice& light : lights) {
        names.append(nameOf(light, names.size()));
    }
    QStringList labels;
    for (qsizetype i = 0; i < names.size(); ++i) {
        QStringList namesakeSerials;
        for (qsizetype j = 0; j < names.size(); ++j) {
            if (j != i && names[j] == names[i]) {
                namesakeSerials.append(lights[j].serial_number.value_or(QString()));
            }
        }
        const QString& serial = lights[i].serial_number.value_or(QString());
        if (namesakeSerials.isEmpty()) {
            labels.append(names[i]);
        } else if (serial.isEmpty() || namesakeSerials.contains(serial)) {
            labels.append(QStringLiteral("%1 (%2)").arg(names[i]).arg(i + 1));
        } else {
            labels.append(
                QStringLiteral("%1 (%2)").arg(names[i], distinctEnd(serial, namesakeSerials)));
        }
    }
    return labels;
}
