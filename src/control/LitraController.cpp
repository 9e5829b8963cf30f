#include "LitraController.h"

#include "DeviceReport.h"
#include "LitraError.h"
#include "SerialNumber.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringDecoder>

#include <atomic>
#include <coroutine>

namespace {

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] QString text = decoder(bytes);
    return !decoder.hasError();
}

// A run's outcome carried back from the worker thread: a value or the exception it threw.
template <typename T>
struct Outcome {
    T value{};
    std::exception_ptr error;
};

}  // namespace

// What a queued or running job shares with its controller. The pool itself stays with the
// controller, which waits for its jobs before it goes.
struct LitraController::Shared {
    RunStopper stopper;
    std::atomic<int> undeliveredResults{0};  // finished or queued jobs whose caller waits
};

namespace {

// Lives in the awaiting thread, so that a queued resume runs there.
QObject* resumeContext() {
    thread_local QObject context;
    return &context;
}

}  // namespace

LitraController::LitraController(const QString& binaryPath, ProcessLimits limits)
    : LitraController(binaryPath, limits, true) {}

std::shared_ptr<LitraController> LitraController::chosen(const QString& binaryPath) {
    return std::shared_ptr<LitraController>(new LitraController(binaryPath, {}, false));
}

LitraController::LitraController(const QString& binaryPath, ProcessLimits limits, bool mustExist)
    : limits_(limits), shared_(std::make_shared<Shared>()), pool_(std::make_unique<QThreadPool>()) {
    if (binaryPath.isEmpty() || (mustExist && !QFileInfo(binaryPath).isFile())) {
        throw LitraError::binaryMissing();
    }
    binaryURL_ = QFileInfo(binaryPath).absoluteFilePath();
    pool_->setMaxThreadCount(1);
    pool_->setExpiryTimeout(-1);
}

LitraController::~LitraController() {
    stop();
}

void LitraController::stop() {
    shared_->stopper.stop();
    // The callers hear of it now, not from an event loop that may not run again (at quit);
    // what they ask for in turn fails at once.
    for (int round = 0; round < 100; ++round) {
        pool_->waitForDone();
        if (shared_->undeliveredResults == 0) {
            break;
        }
        QCoreApplication::sendPostedEvents(resumeContext(), QEvent::MetaCall);
    }
}

namespace {

// One run of litra on the calling (worker) thread: its standard output, empty when not UTF-8.
QByteArray runLitra(const QString& path, const QStringList& arguments, const ProcessLimits& limits,
                    const RunStopper& stopper) {
    ProcessResult result = runChildProcess(path, arguments, limits, &stopper);
    if (!result.killedBy.isEmpty()) {
        throw LitraError::killed(result.killedBy);
    }
    if (result.exitCode != 0) {
        QString stderrText =
            isValidUtf8(result.standardError) ? QString::fromUtf8(result.standardError) : QString();
        throw LitraError::nonZeroExit(result.exitCode, stderrText);
    }
    return isValidUtf8(result.standardOutput) ? std::move(result.standardOutput) : QByteArray();
}

// Runs `work` on the controller's worker, then resumes the awaiting coroutine on its own thread
// through one queued call, with the result or what `work` threw.
template <typename Work>
class ExecutorJob {
public:
    using Result = std::invoke_result_t<Work>;

    ExecutorJob(QThreadPool& pool, std::atomic<int>& undelivered, Work work)
        : pool_(pool), undelivered_(undelivered), work_(std::move(work)) {}

    bool await_ready() const noexcept { return false; }

    void await_suspend(std::coroutine_handle<> awaiting) {
        // The job writes into this awaiter: it lives in the suspended coroutine's frame until
        // the resume.
        QObject* home = resumeContext();
        ++undelivered_;
        pool_.start([this, awaiting, home, &undelivered = undelivered_] {
            try {
                outcome_.value = work_();
            } catch (...) {
                outcome_.error = std::current_exception();
            }
            QMetaObject::invokeMethod(
                home,
                [awaiting, &undelivered] {
                    --undelivered;
                    awaiting.resume();
                },
                Qt::QueuedConnection);
        });
    }

    Result await_resume() {
        if (outcome_.error) {
            std::rethrow_exception(outcome_.error);
        }
        return std::move(outcome_.value);
    }

private:
    QThreadPool& pool_;
    std::atomic<int>& undelivered_;
    Work work_;
    Outcome<Result> outcome_;
};

template <typename Work>
auto onExecutor(QThreadPool& pool, std::atomic<int>& undelivered, Work work)
    -> QCoro::Task<std::invoke_result_t<Work>> {
    co_return co_await ExecutorJob<Work>(pool, undelivered, std::move(work));
}

}  // namespace

QCoro::Task<QByteArray> LitraController::runBytes(QStringList arguments) {
    // The job holds what it needs: the controller may go away while it runs.
    return onExecutor(
        *pool_, shared_->undeliveredResults,
        [shared = shared_, path = binaryURL_, limits = limits_, arguments = std::move(arguments)] {
            return runLitra(path, arguments, limits, shared->stopper);
        });
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
    return onExecutor(*pool_, shared_->undeliveredResults,
                      [shared = shared_, path = binaryURL_, limits = limits_] {
                          QByteArray report =
                              runLitra(path, {QStringLiteral("devices"), QStringLiteral("--json")},
                                       limits, shared->stopper);
                          try {
                              return decodeDeviceReport(report);
                          } catch (const ReportDecodeError& error) {
                              throw LitraError::decode(QString::fromUtf8(error.what()));
                          }
                      });
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
