#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>

struct ProcessLimits {
    std::chrono::milliseconds timeout{10'000};  // from start to reaping
    qsizetype maxOutputBytes = 4 * 1024 * 1024;
    std::chrono::milliseconds stopGrace{500};  // between SIGTERM and SIGKILL when stopped
};

struct ProcessResult {
    int exitCode = 0;  // the exit status, or 128 + signal when a signal ended the child
    QString killedBy;  // the signal that ended the child, e.g. "SIGSEGV (Segmentation fault)"
    QByteArray standardOutput;
    QByteArray standardError;
};

// Stops runs: a run in progress on the same thread has its child's process group sent SIGTERM,
// then SIGKILL after the grace, and ends before stop() returns; later runs fail at once. There
// is no way back.
class RunStopper : public QObject {
    Q_OBJECT
public:
    void stop();
    bool isStopped() const { return stopped_; }

signals:
    void stopped();

private:
    std::atomic<bool> stopped_{false};
};

// Runs the program directly (no shell) with the arguments, inheriting standard input,
// environment and working directory, and collects both outputs while it runs. The child leads
// a process group of its own and starts with every signal at its default disposition.
// The calling thread's event loop watches the pipes and the child's end, so the thread is free
// while the child runs; the task ends on that thread.
// Throws LaunchError when it cannot be started, when it runs past the time limit or writes more
// than the output cap (its process group is killed), or when it is stopped.
QCoro::Task<ProcessResult> runChildProcess(QString program, QStringList arguments,
                                           ProcessLimits limits,
                                           const RunStopper* stopper = nullptr);
