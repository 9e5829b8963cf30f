#include "LitraController.h"

#include "DeviceReport.h"
#include "LitraError.h"
#include "SerialNumber.h"

#include <QFileInfo>
#include <QScopeGuard>

#include <coroutine>
#include <deque>

// What a running or waiting operation shares with its controller: the stopper and the turn.
// One operation has the turn at a time; the others wait for it in the order they came.
struct LitraController::Shared {
    RunStopper stopper;
    QObject context;  // where a handed-on turn is resumed
    bool busy = false;
    std::deque<std::coroutine_handle<>> waiting;

    // Waits for the turn, unless it is free.
    auto turn() {
        struct Awaiter {
            Shared& shared;
            bool await_ready() noexcept { return !std::exchange(shared.busy, true); }
            void await_suspend(std::coroutine_handle<> awaiting) {
                shared.waiting.push_back(awaiting);
            }
            void await_resume() const noexcept {}
        };
        return Awaiter{*this};
    }

    // Hands the turn to the next that waits, from the event loop so that the operation ending
    // now finishes first; after a stop at once, since the loop may not run again.
    void pass() {
        if (waiting.empty()) {
            busy = false;
        } else if (stopper.isStopped()) {
            resumeNext();
        } else {
            QMetaObject::invokeMethod(&context, [this] { resumeNext(); }, Qt::QueuedConnection);
        }
    }

    void resumeNext() {
        if (!waiting.empty()) {
            const auto next = waiting.front();
            waiting.pop_front();
            next.resume();
        }
    }
};

LitraController::LitraController(const QString& binaryPath, ProcessLimits limits)
    : LitraController(binaryPath, limits, true) {}

std::shared_ptr<LitraController> LitraController::chosen(const QString& binaryPath) {
    return std::shared_ptr<LitraController>(new LitraController(binaryPath, {}, false));
}

LitraController::LitraController(const QString& binaryPath, ProcessLimits limits, bool mustExist)
    : limits_(limits), shared_(std::make_shared<Shared>()) {
    if (binaryPath.isEmpty() || (mustExist && !QFileInfo(binaryPath).isFile())) {
        throw LitraError::binaryMissing();
    }
    binaryURL_ = QFileInfo(binaryPath).absoluteFilePath();
}

LitraController::~LitraController() {
    stop();
}

void LitraController::stop() {
    // The running child ends within the stop; the callers hear of it now, not from an event
    // loop that may not run again (at quit), and what they ask for in turn fails at once.
    shared_->stopper.stop();
    while (!shared_->waiting.empty()) {
        shared_->resumeNext();
    }
}

QCoro::Task<QByteArray> LitraController::runBytes(QStringList arguments) {
    // The run holds what it needs: the controller may go away while it waits for its turn.
    const std::shared_ptr<Shared> shared = shared_;
    const QString path = binaryURL_;
    const ProcessLimits limits = limits_;
    if (shared->stopper.isStopped()) {
        throw LaunchError(QString::fromLatin1(errorText::abandoned));
    }
    co_await shared->turn();
    const auto passOn = qScopeGuard([&shared] { shared->pass(); });
    ProcessResult result = co_await runChildProcess(path, arguments, limits, &shared->stopper);
    if (!result.killedBy.isEmpty()) {
        throw LitraError::killed(result.killedBy);
    }
    if (result.exitCode != 0) {
        QString stderrText =
            result.standardError.isValidUtf8() ? QString::fromUtf8(result.standardError) : QString();
        throw LitraError::nonZeroExit(result.exitCode, stderrText);
    }
    // Output that is not UTF-8 is taken as none.
    co_return result.standardOutput.isValidUtf8() ? std::move(result.standardOutput) : QByteArray();
}

QCoro::Task<> LitraController::toggle(QString serial) {
    co_await runBytes(commandArguments(QStringLiteral("toggle"), serial));
}

QCoro::Task<> LitraController::on(QString serial) {
    co_await runBytes(commandArguments(QStringLiteral("on"), serial));
}

QCoro::Task<> LitraController::off(QString serial) {
    co_await runBytes(commandArguments(QStringLiteral("off"), serial));
}

QCoro::Task<> LitraController::setBrightness(qint64 percentage, QString serial) {
    co_await runBytes(brightnessArguments(percentage, serial));
}

QCoro::Task<> LitraController::setTemperature(qint64 kelvin, QString serial) {
    co_await runBytes(temperatureArguments(kelvin, serial));
}

QCoro::Task<std::vector<LitraDevice>> LitraController::devices() {
    QStringList arguments{QStringLiteral("devices"), QStringLiteral("--json")};
    const QByteArray report = co_await runBytes(std::move(arguments));
    try {
        co_return decodeDeviceReport(report);
    } catch (const ReportDecodeError& error) {
        throw LitraError::decode(QString::fromUtf8(error.what()));
    }
}

QCoro::Task<LightStatus> LitraController::status() {
    try {
        co_return foldStatus(co_await devices());
    } catch (const std::exception& error) {
        co_return LightStatus::error(localizedDescription(error));
    }
}

QCoro::Task<QString> LitraController::version() {
    QStringList arguments(QStringLiteral("--version"));
    const QByteArray output = co_await runBytes(std::move(arguments));
    co_return QString::fromUtf8(output).section(u'\n', 0, 0).trimmed();
}

QStringList LitraController::commandArguments(const QString& command, const QString& serial,
                                              const QStringList& options) {
    QStringList arguments(command);
    if (!serial.isEmpty()) {
        if (const QString problem = serialNumberProblem(serial); !problem.isEmpty()) {
            throw SerialNumberError(problem);
        }
        arguments << QStringLiteral("--serial-number") << serial;
    }
    return arguments + options;
}

QStringList LitraController::brightnessArguments(qint64 percentage, const QString& serial) {
    qint64 clamped = std::clamp<qint64>(percentage, 1, 100);
    return commandArguments(QStringLiteral("brightness"), serial,
                            {QStringLiteral("--percentage"), QString::number(clamped)});
}

QStringList LitraController::temperatureArguments(qint64 kelvin, const QString& serial) {
    qint64 truncated = kelvin / 100 * 100;  // C++ division truncates toward zero
    return commandArguments(QStringLiteral("temperature"), serial,
                            {QStringLiteral("--value"), QString::number(truncated)});
}

LightStatus LitraController::foldStatus(const std::vector<LitraDevice>& devices) {
    if (devices.empty()) {
        return LightStatus::noDevices();
    }
    std::size_t known = 0;
    std::size_t on = 0;
    for (const LitraDevice& device : devices) {
        if (device.is_on) {
            ++known;
            on += *device.is_on ? 1 : 0;
        }
    }
    if (known == 0) {
        return LightStatus::error(QString::fromLatin1(errorText::stateUnknown));
    }
    if (on == known) {
        return LightStatus::allOn();
    }
    if (on == 0) {
        return LightStatus::allOff();
    }
    return LightStatus::mixed();
}
