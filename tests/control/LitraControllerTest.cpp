#include "LitraController.h"
#include "LitraError.h"
#include "Await.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>

using namespace std::chrono_literals;
using testsupport::readFile;
using testsupport::writeScript;

namespace {

class Controller : public testing::Test {
protected:
    // A litra stand-in that runs the given shell body.
    std::shared_ptr<LitraController> fake(const QByteArray& body, ProcessLimits limits = {}) {
        return std::make_shared<LitraController>(writeScript(dir.path(), "litra", body), limits);
    }

    template <typename T>
    static QString failureOf(QCoro::Task<T> task) {
        try {
            testsupport::await(std::move(task));
        } catch (const std::exception& error) {
            return localizedDescription(error);
        }
        return QStringLiteral("<no failure>");
    }

    QTemporaryDir dir;
};

TEST_F(Controller, MissingExecutableIsBinaryMissing) {
    try {
        LitraController controller(dir.filePath("litra"));
        FAIL();
    } catch (const LitraError& error) {
        EXPECT_EQ(error.kind(), LitraError::Kind::binaryMissing);
        EXPECT_EQ(error.errorDescription(), "Bundled litra binary missing");
    }
}

TEST_F(Controller, SendsTheWrittenArgumentVectors) {
    auto controller = fake(R"(echo "$*" >> "$0.args")");
    testsupport::await(controller->toggle());
    testsupport::await(controller->setBrightness(250));
    testsupport::await(controller->setTemperature(-150));
    EXPECT_EQ(readFile(controller->binaryURL() + ".args"),
              "toggle\nbrightness --percentage 100\ntemperature --value -100\n");
}

struct FailureCase {
    const char* name;
    QByteArray body;
    QString devicesMessage;  // what devices() throws, and status() reports after "Error: "
};

class ControllerFailures : public Controller, public testing::WithParamInterface<FailureCase> {};

TEST_P(ControllerFailures, DevicesThrowsAndStatusCarriesTheMessage) {
    auto controller = fake(GetParam().body);
    EXPECT_EQ(failureOf(controller->devices()), GetParam().devicesMessage);
    EXPECT_EQ(testsupport::await(controller->status()), LightStatus::error(GetParam().devicesMessage));
}

const QString emptyOutput = QStringLiteral(
    "Failed to parse litra output: not valid JSON at line 1, column 1: unexpected end of input; "
    "expected '[', '{', or a literal");

INSTANTIATE_TEST_SUITE_P(
    Runs, ControllerFailures,
    testing::Values(
        FailureCase{"ExitWithReason", "echo 'no lights attached' >&2; exit 1",
                    "litra exited 1: no lights attached\n"},
        FailureCase{"ExitWithoutReason", "exit 2", "litra exited 2: "},
        FailureCase{"KilledBySignal", "kill -9 $$", "litra exited 137: terminated by SIGKILL (Killed)"},
        FailureCase{"KilledButExplained", "echo dying >&2; kill -15 $$", "litra exited 143: dying\n"},
        FailureCase{"EmptyOutput", "exit 0", emptyOutput},
        FailureCase{"NonUtf8IsReadAsEmpty", R"(printf '[\377]')", emptyOutput},
        FailureCase{"WrongType", R"(echo '[{"is_on": "yes"}]')",
                    R"(Failed to parse litra output: expected true or false for "is_on" in light 1, found the string "yes")"},
        FailureCase{"Oversized", "head -c 6000000 /dev/zero | tr '\\0' ' '",
                    "litra wrote more than 4 MiB of output and was stopped"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Controller, StandardErrorOnSuccessIsIgnored) {
    auto controller = fake(R"(echo warning >&2; echo '[{"is_on": true}]')");
    EXPECT_EQ(testsupport::await(controller->status()), LightStatus::allOn());
    EXPECT_EQ(testsupport::await(controller->run({"x"})), "[{\"is_on\": true}]\n");
}

TEST_F(Controller, NonExecutableFileFailsEveryRunAtLaunch) {
    auto path = writeScript(dir.path(), "litra", "exit 0");
    QFile::setPermissions(path, QFile::ReadOwner);
    auto controller = std::make_shared<LitraController>(path);
    const QString expected = "Could not start " + path + ": Permission denied";
    EXPECT_EQ(failureOf(controller->toggle()), expected);
    EXPECT_EQ(testsupport::await(controller->status()), LightStatus::error(expected));
}

TEST_F(Controller, AHungRunIsStoppedAndLaterCommandsAreServed) {
    ProcessLimits limits;
    limits.timeout = 500ms;
    auto controller = fake(R"(if [ "$1" = toggle ]; then exec sleep 30; fi; echo '[]')", limits);
    EXPECT_EQ(failureOf(controller->toggle()),
              "litra did not finish within 0.5 seconds and was stopped");
    EXPECT_EQ(testsupport::await(controller->status()), LightStatus::noDevices());
}

TEST_F(Controller, ResultsAndFailuresResumeTheCallerOnItsOwnThread) {
    auto controller = fake(R"(if [ "$1" = toggle ]; then echo jammed >&2; exit 3; fi; echo '[]')");
    QThread* const caller = QThread::currentThread();
    QThread* afterResult = nullptr;
    QThread* afterFailure = nullptr;
    QString failure;
    testsupport::await([&]() -> QCoro::Task<> {
        const auto devices = co_await controller->devices();
        EXPECT_TRUE(devices.empty());
        afterResult = QThread::currentThread();
        try {
            co_await controller->toggle();
        } catch (const std::exception& error) {
            failure = localizedDescription(error);
        }
        afterFailure = QThread::currentThread();
    }());
    EXPECT_EQ(afterResult, caller);
    EXPECT_EQ(afterFailure, caller);
    EXPECT_EQ(failure, "litra exited 3: jammed\n");
}

// The CPUs a thread may run on, as /proc shows them ("0-1", "0,2").
QByteArray allowedCpus(const QString& statusFile) {
    for (const QByteArray& line : readFile(statusFile).split('\n')) {
        if (line.startsWith("Cpus_allowed_list:")) {
            return line.mid(line.indexOf(':') + 1).trimmed();
        }
    }
    return {};
}

// While a child runs the worker is kept on the caller's CPU; afterwards neither the child nor
// the worker may stay confined to it.
TEST_F(Controller, NoThreadOrChildStaysKeptToOneCpu) {
    auto controller = fake(R"(sed -n 's/^Cpus_allowed_list:[[:space:]]*//p' /proc/$$/status)");
    const QByteArray process = allowedCpus(QStringLiteral("/proc/self/status"));
    ASSERT_FALSE(process.isEmpty());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(testsupport::await(controller->run({QStringLiteral("x")})).trimmed(),
                  QString::fromLatin1(process));
    }
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        EXPECT_EQ(allowedCpus(tasks.filePath(task + QStringLiteral("/status"))), process)
            << "thread " << task.toStdString();
    }
}

TEST_F(Controller, ConcurrentCallersNeverRunTwoChildrenAtOnce) {
    const QString log = dir.filePath("runs.log");
    const QString state = dir.filePath("lights.json");
    qputenv("LITRA_SIM_LOG", log.toUtf8());
    qputenv("LITRA_SIM_STATE", state.toUtf8());
    qputenv("LITRA_SIM_DELAY_MS", "20");
    auto controller = std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR));

    std::vector<QCoro::Task<>> commands;
    std::vector<QCoro::Task<LightStatus>> queries;
    for (int i = 0; i < 6; ++i) {
        commands.push_back(controller->toggle());
        commands.push_back(controller->setBrightness(10 * i + 5));
        queries.push_back(controller->status());
    }
    for (auto& task : commands) {
        testsupport::await(std::move(task));
    }
    for (auto& task : queries) {
        EXPECT_NE(testsupport::await(std::move(task)).kind(), LightStatus::Case::error);
    }
    qunsetenv("LITRA_SIM_LOG");
    qunsetenv("LITRA_SIM_STATE");
    qunsetenv("LITRA_SIM_DELAY_MS");

    std::vector<std::pair<qint64, qint64>> runs;
    for (const QByteArray& line : readFile(log).split('\n')) {
        auto fields = line.split(' ');
        if (fields.size() >= 3) {
            runs.emplace_back(fields[1].toLongLong(), fields[2].toLongLong());
        }
    }
    ASSERT_EQ(runs.size(), 18u);
    std::sort(runs.begin(), runs.end());
    for (std::size_t i = 1; i < runs.size(); ++i) {
        EXPECT_GE(runs[i].first, runs[i - 1].second) << "runs " << i - 1 << " and " << i << " overlap";
    }
}

}  // namespace
