#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// One attached light as the device report describes it. Field names are the report's keys.
struct LitraDevice {
    std::optional<QString> serial_number;
    std::optional<QString> device_type;
    std::optional<bool> is_on;
    std::optional<qint64> brightness_in_lumen;
    std::optional<qint64> temperature_in_kelvin;
    std::optional<qint64> minimum_brightness_in_lumen;
    std::optional<qint64> maximum_brightness_in_lumen;
    std::optional<qint64> minimum_temperature_in_kelvin;
    std::optional<qint64> maximum_temperature_in_kelvin;

    friend bool operator==(const LitraDevice&, const LitraDevice&) = default;

    // The brightness in per cent of the light's maximum; none when the report leaves it open.
    std::optional<double> brightnessPercentage() const {
        if (!brightness_in_lumen || maximum_brightness_in_lumen.value_or(0) <= 0) {
            return std::nullopt;
        }
        return static_cast<double>(*brightness_in_lumen) /
               static_cast<double>(*maximum_brightness_in_lumen) * 100.0;
    }
};
