#include "ChildProcess.h"

#include "LitraError.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString signalName(int signal) {
    const char* abbrev = sigabbrev_np(signal);
    const char* description = sigdescr_np(signal);
    QString name = abbrev ? QStringLiteral("SIG") + QLatin1String(abbrev)
                          : QStringLiteral("signal %1").arg(signal);
    return description ? QStringLiteral("%1 (%2)").arg(name, QLatin1String(description)) : name;
}

// The child starts where the calling thread runs, which may be kept to one CPU while it waits
// (LitraController); from there it may move to any CPU the application may use.
void releaseAffinity(pid_t child) {
    cpu_set_t allowed;
    if (::sched_getaffinity(::getpid(), sizeof allowed, &allowed) == 0) {
        ::sched_setaffinity(child, sizeof allowed, &allowed);
    }
}

// The child leads its own process group, so this also ends what it started: a wrapper script's
// program that hangs must not outlive the run and hold the lights.
void killAndReap(pid_t pid) {
    ::kill(-pid, SIGKILL);
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

ProcessResult runChildProcess(const QString& program, const QStringList& arguments,
                              const ProcessLimits& limits, const std::atomic<bool>* abandon) {
    const QByteArray path = program.toLocal8Bit();
    std::vector<QByteArray> argStorage;
    argStorage.reserve(static_cast<std::size_t>(arguments.size()) + 1);
    argStorage.push_back(path);
    for (const QString& argument : arguments) {
        argStorage.push_back(argument.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& a : argStorage) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0) {
        throw LaunchError(QStringLiteral("Could not start %1: %2").arg(program, systemReason(errno)));
    }
    Fd outRead(outPipe[0]);
    Fd outWrite(outPipe[1]);
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        throw LaunchError(QStringLiteral("Could not start %1: %2").arg(program, systemReason(errno)));
    }
    Fd errRead(errPipe[0]);
    Fd errWrite(errPipe[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outWrite.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errWrite.get(), STDERR_FILENO);
    // The child starts with default signal dispositions whatever the app ignores.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    pid_t pid = 0;
    int spawnError = ::posix_spawn(&pid, path.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawnError != 0) {
        throw LaunchError(QStringLiteral("Could not start %1: %2").arg(program, systemReason(spawnError)));
    }
    releaseAffinity(pid);
    outWrite.reset();
    errWrite.reset();

    ProcessResult result;
    Fd pidFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    const auto deadline = std::chrono::steady_clock::now() + limits.timeout;
    bool outOpen = true;
    bool errOpen = true;
    bool exited = false;
    char buffer[65536];

    // Read until both pipes close. Once the child itself has ended, take only what is already
    // buffered: a grandchild that keeps a pipe open must not hold us up.
    while (outOpen || errOpen) {
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            killAndReap(pid);
            throw LaunchError(QStringLiteral("litra did not finish within %1 seconds and was stopped")
                                  .arg(std::chrono::duration<double>(limits.timeout).count()));
        }
        if (abandon && abandon->load()) {
            // Left to finish on its own; its exit status is collected by nobody but init.
            throw LaunchError(QStringLiteral("litra run abandoned"));
        }
        pollfd fds[3];
        int count = 0;
        int outIndex = -1;
        int errIndex = -1;
        int pidIndex = -1;
        if (outOpen) {
            outIndex = count;
            fds[count++] = {outRead.get(), POLLIN, 0};
        }
        if (errOpen) {
            errIndex = count;
            fds[count++] = {errRead.get(), POLLIN, 0};
        }
        if (pidFd.get() >= 0 && !exited) {
            pidIndex = count;
            fds[count++] = {pidFd.get(), POLLIN, 0};
        }
        auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        // Wake up now and then to notice an abandon request.
        int wait = static_cast<int>(std::min<long long>(remaining.count() + 1, abandon ? 100 : 1000));
        if (exited) {
            wait = 0;
        }
        int ready = ::poll(fds, static_cast<nfds_t>(count), wait);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            int error = errno;
            killAndReap(pid);
            throw LaunchError(QStringLiteral("Could not read from litra: %1").arg(systemReason(error)));
        }
        if (ready == 0 && exited) {
            break;  // child gone and nothing more buffered
        }
        if (pidIndex >= 0 && (fds[pidIndex].revents & POLLIN)) {
            exited = true;
        }
        auto drain = [&](int index, Fd& fd, QByteArray& into, bool& open) {
            if (index < 0 || !(fds[index].revents & (POLLIN | POLLHUP | POLLERR))) {
                return;
            }
            ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
            if (n > 0) {
                into.append(buffer, n);
            } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                open = false;
            }
        };
        drain(outIndex, outRead, result.standardOutput, outOpen);
        drain(errIndex, errRead, result.standardError, errOpen);
        if (result.standardOutput.size() + result.standardError.size() > limits.maxOutputBytes) {
            killAndReap(pid);
            throw LaunchError(QStringLiteral("litra wrote more than %1 MiB of output and was stopped")
                                  .arg(limits.maxOutputBytes / (1024.0 * 1024.0)));
        }
    }

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            throw LaunchError(QStringLiteral("Could not wait for litra: %1").arg(systemReason(errno)));
        }
    }
    if (WIFSIGNALED(status)) {
        result.terminatingSignal = WTERMSIG(status);
        result.exitCode = 128 + result.terminatingSignal;
        if (result.standardError.isEmpty()) {
            result.standardError = QStringLiteral("terminated by %1").arg(signalName(result.terminatingSignal)).toUtf8();
        }
    } else {
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}
