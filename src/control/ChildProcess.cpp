#include "ChildProcess.h"

#include "LitraError.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <unistd.h>
#include <csignal>
#include <cstring>

namespace {

QString signalName(int signal) {
    const char* abbrev = sigabbrev_np(signal);
    const char* description = sigdescr_np(signal);
    QString name = abbrev ? QStringLiteral("SIG") + QLatin1String(abbrev)
                          : QStringLiteral("signal %1").arg(signal);
    return description ? QStringLiteral("%1 (%2)").arg(name, QLatin1String(description)) : name;
}

// Runs in the child between fork and exec: only async-signal-safe calls.
void prepareChild() {
    ::setpgid(0, 0);
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        ::sigaction(signal, &defaults, nullptr);  // fails harmlessly for SIGKILL and SIGSTOP
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// The child leads its own process group, so this also reaches what it started: a wrapper
// script's program that hangs must not outlive the run and hold the lights.
void signalGroup(const QProcess& process, int signal) {
    const pid_t pid = static_cast<pid_t>(process.processId());
    if (pid > 0 && ::kill(-pid, signal) != 0) {
        ::kill(pid, signal);  // not yet in its own group
    }
}

QString seconds(std::chrono::milliseconds duration) {
    return QString::number(std::chrono::duration<double>(duration).count());
}

}  // namespace

void RunStopper::stop() {
    stopped_ = true;
    emit stopped();
}

ProcessResult runChildProcess(const QString& program, const QStringList& arguments,
                              const ProcessLimits& limits, const RunStopper* stopper) {
    if (stopper && stopper->isStopped()) {
        throw LaunchError(QStringLiteral("litra run abandoned"));
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.setChildProcessModifier(prepareChild);

    enum class Stop { none, timeout, overflow, abandoned } stop = Stop::none;
    ProcessResult result;
    QEventLoop loop;
    QTimer deadline;
    QTimer grace;
    deadline.setSingleShot(true);
    grace.setSingleShot(true);
    auto kill = [&](Stop why) {
        if (stop == Stop::none) {
            stop = why;
        }
        signalGroup(process, SIGKILL);
    };
    auto collect = [&](QByteArray& into, QProcess::ProcessChannel channel) {
        process.setReadChannel(channel);
        into += process.readAll();
        if (stop == Stop::none &&
            result.standardOutput.size() + result.standardError.size() > limits.maxOutputBytes) {
            kill(Stop::overflow);
        }
    };
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop,
                     [&] { collect(result.standardOutput, QProcess::StandardOutput); });
    QObject::connect(&process, &QProcess::readyReadStandardError, &loop,
                     [&] { collect(result.standardError, QProcess::StandardError); });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            loop.quit();
        }
    });
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { kill(Stop::timeout); });
    QObject::connect(&grace, &QTimer::timeout, &loop, [&] { signalGroup(process, SIGKILL); });
    auto abandon = [&] {
        if (stop == Stop::none) {
            stop = Stop::abandoned;
            signalGroup(process, SIGTERM);
            grace.start(limits.stopGrace);
        }
    };
    if (stopper) {
        QObject::connect(stopper, &RunStopper::stopped, &loop, abandon);
    }

    process.start();
    deadline.start(limits.timeout);
    if (stopper && stopper->isStopped()) {
        abandon();  // stopped before the connection was made
    }
    if (process.state() != QProcess::NotRunning) {
        loop.exec();
    }

    if (process.error() == QProcess::FailedToStart) {
        // Qt words it as "execve: <reason>"; the reason is what the user needs.
        QString reason = process.errorString();
        reason = reason.mid(reason.indexOf(QLatin1String(": ")) + 1).trimmed();
        throw LaunchError(QStringLiteral("Could not start %1: %2").arg(program, reason));
    }
    switch (stop) {
        case Stop::timeout:
            throw LaunchError(
                QStringLiteral("litra did not finish within %1 seconds and was stopped")
                    .arg(seconds(limits.timeout)));
        case Stop::overflow:
            throw LaunchError(
                QStringLiteral("litra wrote more than %1 MiB of output and was stopped")
                    .arg(limits.maxOutputBytes / (1024.0 * 1024.0)));
        case Stop::abandoned:
            throw LaunchError(QStringLiteral("litra run abandoned"));
        case Stop::none:
            break;
    }
    if (process.exitStatus() == QProcess::CrashExit) {
        const int signal = process.exitCode();
        result.exitCode = 128 + signal;
        if (result.standardError.isEmpty()) {
            result.standardError =
                QStringLiteral("terminated by %1").arg(signalName(signal)).toUtf8();
        }
    } else {
        result.exitCode = process.exitCode();
    }
    return result;
}
