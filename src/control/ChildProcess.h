#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>

struct ProcessLimits {
    std::chrono::milliseconds timeout{10'000};
    qsizetype maxOutputBytes = 4 * 1024 * 1024;
};

struct ProcessResult {
    int exitCode = 0;        // the exit status, or 128 + signal when a signal ended the child
    int terminatingSignal = 0;  // 0 when the child exited normally
    QByteArray standardOutput;
    QByteArray standardError;
};

// Runs the program directly (no shell) with the arguments, inheriting standard input,
// environment and working directory, and drains both pipes while it runs. The child leads a
// process group of its own.
// Throws LaunchError when it cannot be started, when it runs past the time limit (it is
// killed with its process group), when its output exceeds the cap (likewise), or when
// `abandon` is set (it is left to finish on its own).
ProcessResult runChildProcess(const QString& program, const QStringList& arguments,
                              const ProcessLimits& limits,
                              const std::atomic<bool>* abandon = nullptr);
