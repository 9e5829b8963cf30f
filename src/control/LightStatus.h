#pragma once

#include <QString>

// The aggregate state of all lights.
class LightStatus {
public:
    enum class Case { error, allOn, allOff, mixed, noDevices };

    LightStatus() = default;  // noDevices

    static LightStatus error(QString message) { return {Case::error, std::move(message)}; }
    static LightStatus allOn() { return {Case::allOn, {}}; }
    static LightStatus allOff() { return {Case::allOff, {}}; }
    static LightStatus mixed() { return {Case::mixed, {}}; }
    static LightStatus noDevices() { return {Case::noDevices, {}}; }

    Case kind() const { return kind_; }
    bool isError() const { return kind_ == Case::error; }
    // The error's message; empty for every other case.
    const QString& message() const { return message_; }

    friend bool operator==(const LightStatus&, const LightStatus&) = default;

private:
    LightStatus(Case kind, QString message) : kind_(kind), message_(std::move(message)) {}

    Case kind_ = Case::noDevices;
    QString message_;
};
