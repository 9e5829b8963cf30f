#pragma once

#include <QCoroTask>
#include <QString>

class LitraController;

// One thing asked of the lights, as plain data: from a click, the menu, Preferences, a verb or
// the bus. An empty serial number is every light.
struct LightCommand {
    enum class Kind { toggle, on, off, brightness, temperature, refresh };

    Kind kind = Kind::refresh;
    qint64 value = 0;  // the percentage or the kelvin value
    QString serial;

    static LightCommand toggle(QString serial = {}) { return {Kind::toggle, 0, std::move(serial)}; }
    static LightCommand on(QString serial = {}) { return {Kind::on, 0, std::move(serial)}; }
    static LightCommand off(QString serial = {}) { return {Kind::off, 0, std::move(serial)}; }
    static LightCommand brightness(qint64 percentage, QString serial = {}) {
        return {Kind::brightness, percentage, std::move(serial)};
    }
    static LightCommand temperature(qint64 kelvin, QString serial = {}) {
        return {Kind::temperature, kelvin, std::move(serial)};
    }
    static LightCommand refresh() { return {}; }

    // A setting whose latest value is all that matters: a waiting one is replaced, not run.
    bool settlesOnLatest() const { return kind == Kind::brightness || kind == Kind::temperature; }
    bool changesLights() const { return kind != Kind::refresh; }

    friend bool operator==(const LightCommand&, const LightCommand&) = default;
};

// Runs the command's litra command; a refresh runs nothing. Throws what the controller throws.
QCoro::Task<> runLightCommand(LitraController& controller, LightCommand command);
