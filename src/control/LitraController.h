#pragma once

#include "ChildProcess.h"
#include "LightStatus.h"
#include "LitraDevice.h"
#include "LitraTool.h"

#include <QCoroTask>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// The only bridge to the lights: runs the litra tool as a child process for every query and
// command. Operations run one at a time, in the order they were asked for, so at most one litra
// child runs per controller. Callers co_await them on the thread whose event loop watches the
// child (the GUI thread), and resume there.
//
// Failures are thrown: LitraError, or LaunchError when the tool cannot be run at all.
// Callers keep the controller alive (shared_ptr) while they await it.
class LitraController {
public:
    // Uses the given executable; throws LitraError::binaryMissing when there is no such file.
    explicit LitraController(const QString& binaryPath, ProcessLimits limits = {});
    // The tool the user chose, used whether or not it is there now: a run then says why not.
    static std::shared_ptr<LitraController> chosen(const QString& binaryPath);
    // Stops, as stop() does.
    ~LitraController();

    LitraController(const LitraController&) = delete;
    LitraController& operator=(const LitraController&) = delete;

    const QString& binaryURL() const { return binaryURL_; }

    // For quitting: stops a running child (SIGTERM to its process group, SIGKILL after a short
    // grace) and waits until it is gone; queued and later operations fail at once.
    void stop();

    // Each command acts on every light, or with a serial number on that light alone.
    QCoro::Task<> toggle(QString serial = {});
    QCoro::Task<> on(QString serial = {});
    QCoro::Task<> off(QString serial = {});
    QCoro::Task<> setBrightness(qint64 percentage, QString serial = {});
    QCoro::Task<> setTemperature(qint64 kelvin, QString serial = {});
    QCoro::Task<std::vector<LitraDevice>> devices();
    // Never throws: a failed query becomes LightStatus::error with its message.
    QCoro::Task<LightStatus> status();
    // The first line the tool prints for --version.
    QCoro::Task<QString> version();

    // "COMMAND [--serial-number SERIAL] [OPTIONS...]"; no serial number: every light. Throws
    // SerialNumberError for a serial number that litra could take for something else.
    static QStringList commandArguments(const QString& command, const QString& serial,
                                        const QStringList& options = {});
    static QStringList brightnessArguments(qint64 percentage, const QString& serial = {});
    static QStringList temperatureArguments(qint64 kelvin, const QString& serial = {});
    static LightStatus foldStatus(const std::vector<LitraDevice>& devices);

private:
    struct Shared;
    LitraController(const QString& binaryPath, ProcessLimits limits, bool mustExist);
    QCoro::Task<QByteArray> runBytes(QStringList arguments);

    QString binaryURL_;
    ProcessLimits limits_;
    std::shared_ptr<Shared> shared_;
};
