#include "LitraController.h"

#include "DeviceReport.h"
#include "LitraError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <coroutine>

#include <sched.h>

#ifndef GLOWDECK_INSTALLED_LIBEXEC_RELATIVE
#define GLOWDECK_INSTALLED_LIBEXEC_RELATIVE "../libexec/glowdeck"
#endif

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
    std::atomic<bool> closing{false};
};

QString locateLitraBinary() {
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString& folder :
         {QStringLiteral("resources"), QStringLiteral(GLOWDECK_INSTALLED_LIBEXEC_RELATIVE)}) {
        QFileInfo candidate(QDir(appDir).filePath(folder + QStringLiteral("/litra")));
        if (candidate.isFile()) {
            return candidate.absoluteFilePath();
        }
    }
    return {};
}

LitraController::LitraController() : LitraController(locateLitraBinary()) {}

LitraController::LitraController(const QString& binaryPath, ProcessLimits limits)
    : limits_(limits), shared_(std::make_shared<Shared>()), pool_(std::make_unique<QThreadPool>()) {
    if (binaryPath.isEmpty() || !QFileInfo(binaryPath).isFile()) {
        throw LitraError::binaryMissing();
    }
    binaryURL_ = QFileInfo(binaryPath).absoluteFilePath();
    pool_->setMaxThreadCount(1);
    pool_->setExpiryTimeout(-1);
}

LitraController::~LitraController() {
    // Queued jobs still run, but end at once; a running child is left to finish on its own.
    shared_->closing = true;
    pool_->waitForDone();
}

namespace {

// One run of litra on the calling (worker) thread: its standard output, empty when not UTF-8.
QByteArray runLitra(const QString& path, const QStringList& arguments, const ProcessLimits& limits,
                    const std::atomic<bool>& closing) {
    if (closing) {
        throw LaunchError(QStringLiteral("litra run abandoned"));
    }
    ProcessResult result = runChildProcess(path, arguments, limits, &closing);
    if (result.exitCode != 0) {
        QString stderrText =
            isValidUtf8(result.standardError) ? QString::fromUtf8(result.standardError) : QString();
        throw LitraError::nonZeroExit(result.exitCode, stderrText);
    }
    return isValidUtf8(result.standardOutput) ? std::move(result.standardOutput) : QByteArray();
}

// Keeps the calling thread on one CPU for its lifetime, when that is a CPU the thread may use;
// otherwise, or when the system refuses, it changes nothing.
class CpuPin {
public:
    explicit CpuPin(int cpu) {
        if (cpu < 0 || cpu >= CPU_SETSIZE || ::sched_getaffinity(0, sizeof saved_, &saved_) != 0 ||
            !CPU_ISSET(cpu, &saved_)) {
            return;
        }
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(cpu, &one);
        pinned_ = ::sched_setaffinity(0, sizeof one, &one) == 0;
    }
    ~CpuPin() {
        if (pinned_) {
            ::sched_setaffinity(0, sizeof saved_, &saved_);
        }
    }
    CpuPin(const CpuPin&) = delete;
    CpuPin& operator=(const CpuPin&) = delete;

private:
    cpu_set_t saved_{};
    bool pinned_ = false;
};

// Runs `work` on the controller's worker, then resumes the awaiting coroutine on its own thread
// through one queued call, with the result or what `work` threw.
template <typename Work>
class ExecutorJob {
public:
    using Result = std::invoke_result_t<Work>;

    ExecutorJob(QThreadPool& pool, Work work) : pool_(pool), work_(std::move(work)) {}

    bool await_ready() const noexcept { return false; }

    void await_suspend(std::coroutine_handle<> awaiting) {
        // The job writes into this awaiter: it lives in the suspended coroutine's frame until
        // the resume.
        QObject* home = resumeContext();
        // The awaiting thread sleeps until the job is done, so the job runs on the CPU it
        // leaves, and the child starts there too: waking a second CPU for every hand-off costs
        // more than all the rest of our own work (docs/performance.md).
        const int cpu = ::sched_getcpu();
        pool_.start([this, awaiting, home, cpu] {
            {
                const CpuPin pin(cpu);
                try {
                    outcome_.value = work_();
                } catch (...) {
                    outcome_.error = std::current_exception();
                }
            }
            QMetaObject::invokeMethod(
                home, [awaiting] { awaiting.resume(); }, Qt::QueuedConnection);
        });
    }

    Result await_resume() {
        if (outcome_.error) {
            std::rethrow_exception(outcome_.error);
        }
        return std::move(outcome_.value);
    }

private:
    // Lives in the awaiting thread, so that the queued resume runs there.
    static QObject* resumeContext() {
        thread_local QObject context;
        return &context;
    }

    QThreadPool& pool_;
    Work work_;
    Outcome<Result> outcome_;
};

template <typename Work>
auto onExecutor(QThreadPool& pool, Work work) -> QCoro::Task<std::invoke_result_t<Work>> {
    co_return co_await ExecutorJob<Work>(pool, std::move(work));
}

}  // namespace

QCoro::Task<QByteArray> LitraController::runBytes(QStringList arguments) {
    // The job holds what it needs: the controller may go away while it runs.
    return onExecutor(*pool_, [shared = shared_, path = binaryURL_, limits = limits_,
                                      arguments = std::move(arguments)] {
        return runLitra(path, arguments, limits, shared->closing);
    });
}

QCoro::Task<QString> LitraController::run(QStringList arguments) {
    QByteArray output = co_await runBytes(std::move(arguments));
    co_return QString::fromUtf8(output);
}

QCoro::Task<> LitraController::toggle() {
    QStringList arguments(QStringLiteral("toggle"));
    co_await runBytes(std::move(arguments));
}

QCoro::Task<> LitraController::setBrightness(qint64 percentage) {
    co_await runBytes(brightnessArguments(percentage));
}

QCoro::Task<> LitraController::setTemperature(qint64 kelvin) {
    co_await runBytes(temperatureArguments(kelvin));
}

QCoro::Task<std::vector<LitraDevice>> LitraController::devices() {
    return onExecutor(*pool_, [shared = shared_, path = binaryURL_, limits = limits_] {
        QByteArray report =
            runLitra(path, {QStringLiteral("devices"), QStringLiteral("--json")}, limits,
                     shared->closing);
        try {
            return decodeDeviceReport(report);
        } catch (const ReportDecodeError& error) {
            throw LitraError::decode(QString::fromUtf8(error.what()));
        }
    });
}

QCoro::Task<LightStatus> LitraController::status() {
    std::vector<LitraDevice> list;
    try {
        list = co_await devices();
    } catch (const std::exception& error) {
        co_return LightStatus::error(localizedDescription(error));
    }
    co_return foldStatus(list);
}

QStringList LitraController::brightnessArguments(qint64 percentage) {
    qint64 clamped = std::clamp<qint64>(percentage, 1, 100);
    return {QStringLiteral("brightness"), QStringLiteral("--percentage"), QString::number(clamped)};
}

QStringList LitraController::temperatureArguments(qint64 kelvin) {
    qint64 truncated = kelvin / 100 * 100;  // C++ division truncates toward zero
    return {QStringLiteral("temperature"), QStringLiteral("--value"), QString::number(truncated)};
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
        return LightStatus::error(QStringLiteral("device state unknown"));
    }
    if (on == known) {
        return LightStatus::allOn();
    }
    if (on == 0) {
        return LightStatus::allOff();
    }
    return LightStatus::mixed();
}
