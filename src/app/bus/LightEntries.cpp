#include "LightEntries.h"

#include "LitraDevice.h"

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
