#include "ChildProcess.h"
#include "LitraError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace std::chrono_literals;
using testsupport::writeScript;

namespace {

class ChildProcess : public testing::Test {
protected:
    QTemporaryDir dir;
};

TEST_F(ChildProcess, PassesArgumentsVerbatimAndCapturesBothStreams) {
    auto path = writeScript(dir.path(), "echo", R"(for a in "$@"; do echo "[$a]"; done; echo oops >&2; exit 3)");
    auto result = runChildProcess(path, {"a b", "", "$HOME", "--json"}, {});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.terminatingSignal, 0);
    EXPECT_EQ(result.standardOutput, "[a b]\n[]\n[$HOME]\n[--json]\n");
    EXPECT_EQ(result.standardError, "oops\n");
}

TEST_F(ChildProcess, DrainsLargeOutputOnBothPipesWithoutDeadlock) {
    // 3 MiB on stdout and 1 MiB on stderr, interleaved: far beyond the pipe buffers.
    auto path = writeScript(dir.path(), "big",
                            "head -c 1048576 /dev/zero >&2 & head -c 3145728 /dev/zero; wait");
    auto result = runChildProcess(path, {}, {});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardOutput.size(), 3145728);
    EXPECT_EQ(result.standardError.size(), 1048576);
}

TEST_F(ChildProcess, StopsARunPastTheOutputCap) {
    auto path = writeScript(dir.path(), "flood", "exec cat /dev/zero");
    ProcessLimits limits;
    limits.maxOutputBytes = 1 << 20;
    try {
        runChildProcess(path, {}, limits);
        FAIL();
    } catch (const LaunchError& error) {
        EXPECT_EQ(error.localizedDescription(), "litra wrote more than 1 MiB of output and was stopped");
    }
}

TEST_F(ChildProcess, KillsARunPastTheTimeLimit) {
    auto path = writeScript(dir.path(), "hang", "exec sleep 30");
    ProcessLimits limits;
    limits.timeout = 300ms;
    try {
        runChildProcess(path, {}, limits);
        FAIL();
    } catch (const LaunchError& error) {
        EXPECT_EQ(error.localizedDescription(), "litra did not finish within 0.3 seconds and was stopped");
    }
}

TEST_F(ChildProcess, DoesNotWaitForAGrandchildHoldingThePipes) {
    ProcessLimits limits;
    limits.timeout = 5s;
    auto path = writeScript(dir.path(), "daemon", "sleep 30 & echo done");
    auto result = runChildProcess(path, {}, limits);
    EXPECT_EQ(result.standardOutput, "done\n");
}

TEST_F(ChildProcess, ReportsADeathBySignalAsAFailure) {
    auto path = writeScript(dir.path(), "killed", "kill -9 $$");
    auto result = runChildProcess(path, {}, {});
    EXPECT_EQ(result.terminatingSignal, 9);
    EXPECT_EQ(result.exitCode, 137);
    EXPECT_EQ(result.standardError, "terminated by SIGKILL (Killed)");
}

TEST_F(ChildProcess, LaunchFailuresNameTheFileAndTheReason) {
    auto path = writeScript(dir.path(), "noexec", "exit 0");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const std::pair<QString, QString> cases[] = {
        {path, "Permission denied"},
        {dir.filePath("absent"), "No such file or directory"},
    };
    for (const auto& [file, reason] : cases) {
        try {
            runChildProcess(file, {}, {});
            FAIL() << file.toStdString();
        } catch (const LaunchError& error) {
            EXPECT_EQ(error.localizedDescription(), "Could not start " + file + ": " + reason);
        }
    }
}

}  // namespace
