#include "Await.h"
#include "ChildProcess.h"
#include "LitraError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>

using namespace std::chrono_literals;
using testsupport::readFile;
using testsupport::waitUntil;
using testsupport::writeScript;

namespace {

class ChildProcess : public testing::Test {
protected:
    static ProcessResult run(const QString& program, const QStringList& arguments,
                             const ProcessLimits& limits, const RunStopper* stopper = nullptr) {
        return testsupport::await(runChildProcess(program, arguments, limits, stopper));
    }
    // Runs the shell body; a failure's message, or the result.
    QString failureOf(const QByteArray& body, ProcessLimits limits = {},
                      const RunStopper* stopper = nullptr) {
        try {
            run(writeScript(dir.path(), "child", body), {}, limits, stopper);
        } catch (const LaunchError& error) {
            return error.localizedDescription();
        }
        return QStringLiteral("<no failure>");
    }
    // Whether a process whose id the script wrote to `file` is still running.
    bool alive(const char* file) const {
        const QByteArray pid = readFile(dir.filePath(file)).trimmed();
        return !pid.isEmpty() && ::kill(pid.toInt(), 0) == 0 &&
               !readFile("/proc/" + pid + "/stat").contains(") Z");
    }
    QTemporaryDir dir;
};

TEST_F(ChildProcess, PassesArgumentsVerbatimAndDrainsBothStreams) {
    auto path = writeScript(dir.path(), "echo", R"(for a in "$@"; do echo "[$a]"; done
head -c 1048576 /dev/zero >&2 & head -c 2097152 /dev/zero; wait; exit 3)");
    auto result = run(path, {"a b", "", "$HOME"}, {});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.standardOutput.startsWith("[a b]\n[]\n[$HOME]\n"));
    EXPECT_EQ(result.standardOutput.size(), 17 + 2097152);
    EXPECT_EQ(result.standardError.size(), 1048576);
}

TEST_F(ChildProcess, ReportsADeathBySignalAndLaunchFailures) {
    auto killed = run(writeScript(dir.path(), "killed", "kill -9 $$"), {}, {});
    EXPECT_EQ(killed.exitCode, 137);
    EXPECT_EQ(killed.killedBy, "SIGKILL (Killed)");

    auto path = writeScript(dir.path(), "noexec", "exit 0");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    for (const auto& [file, reason] :
         {std::pair{path, "Permission denied"},
          std::pair{dir.filePath("absent"), "No such file or directory"}}) {
        try {
            run(file, {}, {});
            ADD_FAILURE() << file.toStdString();
        } catch (const LaunchError& error) {
            EXPECT_EQ(error.localizedDescription(), "Could not start " + file + ": " + reason);
        }
    }
}

// The limits hold from start to reaping and reach everything the child started.
TEST_F(ChildProcess, LimitsStopTheWholeProcessGroup) {
    ProcessLimits limits;
    limits.timeout = 400ms;
    limits.maxOutputBytes = 1 << 20;
    const std::pair<QByteArray, QString> cases[] = {
        {"sleep 30 & echo $! > grandchild; exec cat /dev/zero",
         "litra wrote more than 1 MiB of output and was stopped"},
        {"sleep 30 & echo $! > grandchild; wait",
         "litra did not finish within 0.4 seconds and was stopped"},
        // Closes both pipes first: the limit must still hold until the child is reaped.
        {"exec >/dev/null 2>&1; sleep 30 & echo $! > grandchild; wait",
         "litra did not finish within 0.4 seconds and was stopped"},
    };
    for (const auto& [body, message] : cases) {
        SCOPED_TRACE(body.toStdString());
        EXPECT_EQ(failureOf("cd '" + dir.path().toUtf8() + "'; " + body, limits), message);
        EXPECT_TRUE(waitUntil([&] { return !alive("grandchild"); }, 1000));
    }
}

// Runs at once on one thread share a timer: each ends at its own limit, in the order of the
// limits, whichever started first and whichever ended before.
TEST_F(ChildProcess, OverlappingRunsEachKeepTheirOwnTimeLimit) {
    const QString sleeper = writeScript(dir.path(), "sleeper", "sleep \"$1\"; echo slept");
    const std::pair<std::chrono::milliseconds, const char*> runs[] = {
        {1500ms, "30"}, {5s, "0.1"}, {300ms, "30"}, {5s, "0.6"}};
    QStringList outcomes(std::size(runs));
    QList<int> ended;
    auto outcome = [&](int index, QCoro::Task<ProcessResult> run) -> QCoro::Task<> {
        try {
            outcomes[index] = QString::fromUtf8((co_await run).standardOutput);
        } catch (const LaunchError& error) {
            outcomes[index] = error.localizedDescription();
        }
        ended << index;
    };
    std::vector<QCoro::Task<>> tasks;
    for (int i = 0; i < int(std::size(runs)); ++i) {
        ProcessLimits limits;
        limits.timeout = runs[i].first;
        tasks.push_back(
            outcome(i, runChildProcess(sleeper, {QString::fromLatin1(runs[i].second)}, limits)));
    }
    for (auto& task : tasks) {
        testsupport::await(std::move(task));
    }
    EXPECT_EQ(outcomes,
              (QStringList{"litra did not finish within 1.5 seconds and was stopped", "slept\n",
                           "litra did not finish within 0.3 seconds and was stopped", "slept\n"}));
    EXPECT_EQ(ended, (QList<int>{1, 2, 3, 0}));
}

TEST_F(ChildProcess, DoesNotWaitForAGrandchildHoldingThePipes) {
    ProcessLimits limits;
    limits.timeout = 5s;
    auto result =
        run(writeScript(dir.path(), "daemon", "sleep 30 & echo done"), {}, limits);
    EXPECT_EQ(result.standardOutput, "done\n");
}

// After a run that went well, nothing it started is left, however it detached, with no other
// child of Glowdeck's about or with one; an orphan that came to Glowdeck from elsewhere is left
// alone.
TEST_F(ChildProcess, EndsWhatARunLeftBehindAndNothingElse) {
    for (const bool withOther : {false, true}) {
        if (withOther) {
            QProcess::startDetached(
                QStringLiteral("sh"),
                {QStringLiteral("-c"), "echo $$ > '" + dir.filePath("other") + "'; exec sleep 120"});
            ASSERT_TRUE(waitUntil([&] { return alive("other"); }, 3000));
        }
        for (const QByteArray body :
             {"sleep 120 & echo $! > helper", "(setsid sleep 120 & echo $! > helper)",
              "(setsid sh -c 'sleep 120 & echo $! > helper; wait' &)"}) {
            SCOPED_TRACE(body.toStdString() + (withOther ? ", another child about" : ""));
            QFile::remove(dir.filePath("helper"));
            auto result = run(writeScript(dir.path(), "helpers",
                                                      "cd '" + dir.path().toUtf8() + "'; " + body +
                                                          "; while [ ! -s helper ]; do :; done"),
                                          {}, {});
            EXPECT_EQ(result.exitCode, 0);
            EXPECT_FALSE(alive("helper"));
            EXPECT_EQ(alive("other"), withOther);
        }
    }
    ::kill(readFile(dir.filePath("other")).trimmed().toInt(), SIGKILL);
}

// Started from a Glowdeck that ignores or blocks signals (nohup, a launcher), litra still
// starts with every signal at its default.
TEST_F(ChildProcess, StartsTheChildWithDefaultSignals) {
    std::signal(SIGHUP, SIG_IGN);
    std::signal(SIGINT, SIG_IGN);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
    auto result = run(
        writeScript(dir.path(), "signals", "exec grep -E '^Sig(Ign|Blk)' /proc/self/status"), {},
        {});
    pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr);
    std::signal(SIGHUP, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    // The masks of blocked and ignored signals, bit n-1 for signal n.
    const QList<QByteArray> masks = result.standardOutput.split('\n');
    ASSERT_GE(masks.size(), 2) << result.standardOutput.toStdString();
    for (const QByteArray& mask : masks.first(2)) {
        const qulonglong bits = mask.mid(mask.indexOf('\t') + 1).toULongLong(nullptr, 16);
        for (int signal : {SIGHUP, SIGINT, SIGTERM}) {
            EXPECT_FALSE(bits & (1ULL << (signal - 1)))
                << mask.toStdString() << ", signal " << signal;
        }
    }
}

// Stopping sends SIGTERM to the group, then SIGKILL to what ignores it.
TEST_F(ChildProcess, StopEndsARunningChildAndItsGroupAfterTheGrace) {
    ProcessLimits limits;
    limits.stopGrace = 200ms;
    RunStopper stopper;
    QTimer::singleShot(300ms, [&stopper] { stopper.stop(); });
    EXPECT_EQ(failureOf("cd '" + dir.path().toUtf8() +
                            "'; (trap '' TERM; sleep 30) & echo $! > grandchild; "
                            "trap '' TERM; while :; do sleep 1; done",
                        limits, &stopper),
              "litra run abandoned");
    EXPECT_TRUE(waitUntil([&] { return !alive("grandchild"); }, 1000));
    EXPECT_EQ(failureOf("exit 0", limits, &stopper), "litra run abandoned");
}

}  // namespace
