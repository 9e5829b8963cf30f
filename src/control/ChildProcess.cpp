#include "ChildProcess.h"

#include "LitraError.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <QDirIterator>
#include <QFile>

#include <atomic>
#include <optional>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

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

QString signalName(int signal) {
    const char* abbrev = sigabbrev_np(signal);
    const char* description = sigdescr_np(signal);
    QString name = abbrev ? QStringLiteral("SIG") + QLatin1String(abbrev)
                          : QStringLiteral("signal %1").arg(signal);
    return description ? QStringLiteral("%1 (%2)").arg(name, QLatin1String(description)) : name;
}

QString seconds(std::chrono::milliseconds duration) {
    return QString::number(std::chrono::duration<double>(duration).count());
}

// Marks the environment of one run, so that what it leaves behind is known by it.
constexpr char runMarkName[] = "GLOWDECK_LITRA_RUN=";

QByteArray newRunMark() {
    static std::atomic<unsigned long long> runs{0};
    return runMarkName + QByteArray::number(::getpid()) + '.' + QByteArray::number(++runs);
}

// Glowdeck's environment with the run's mark in place of any it inherited.
std::vector<char*> markedEnvironment(QByteArray& mark) {
    std::vector<char*> environment;
    for (char** entry = environ; *entry; ++entry) {
        if (std::strncmp(*entry, runMarkName, sizeof runMarkName - 1) != 0) {
            environment.push_back(*entry);
        }
    }
    environment.push_back(mark.data());
    environment.push_back(nullptr);
    return environment;
}

// Orphans of a run come back to Glowdeck rather than to init, so that they can be ended:
// a helper that double-forks and calls setsid leaves the run's process group but not this.
void adoptOrphans() {
    static const bool adopted = ::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0;
    (void)adopted;
}

// The parent and process group of a process, from its stat line ("pid (name) S ppid pgrp").
std::optional<std::pair<pid_t, pid_t>> parentAndGroup(const QString& pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return std::nullopt;
    }
    const QByteArray line = stat.read(1024);
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 3) {
        return std::nullopt;
    }
    return std::pair{fields[1].toInt(), fields[2].toInt()};
}

bool carriesMark(const QString& pid, const QByteArray& mark) {
    QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
    return environment.open(QIODevice::ReadOnly) &&
           ('\0' + environment.readAll()).contains('\0' + mark + '\0');
}

// Whether the kernel has handed out a process id since `pid`, by the last one it gave (the last
// field of /proc/loadavg). When it has not, a run that started with `pid` started nothing.
bool anyStartedSince(pid_t pid) {
    QFile load(QStringLiteral("/proc/loadavg"));
    if (!load.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return true;
    }
    const QByteArray line = load.read(256).trimmed();
    return line.mid(line.lastIndexOf(' ') + 1).toInt() != pid;
}

// Whether Glowdeck has a child process, alive or not yet reaped. A run's orphans come to
// Glowdeck (adoptOrphans), so once the run itself is reaped, none means it left nothing behind.
bool hasChildren() {
    siginfo_t info{};
    return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 || errno != ECHILD;
}

// Ends and reaps what a run left behind among Glowdeck's children: the members of its
// process group (sent SIGKILL already, while its leader's pid still named it), and those that
// left the group but carry its mark. Ending one hands its own
// children to Glowdeck, so this goes on until a look finds none. Other children of Glowdeck
// (its other runs, what a desktop launcher left it) carry neither and are not touched.
// A member of the group still dying hands its children on only once it is gone, so a look that
// finds nothing while the group has members (a signal 0 sends nothing) is taken again.
void endLeftovers(pid_t group, const QByteArray& mark) {
    if (!hasChildren() || !anyStartedSince(group)) {
        return;
    }
    const pid_t self = ::getpid();
    constexpr int maxLooks = 200;  // a millisecond apart while the group is dying
    for (int look = 0; look < maxLooks; ++look) {
        bool found = false;
        for (QDirIterator it(QStringLiteral("/proc"), QDir::Dirs); it.hasNext();) {
            const QString name = it.nextFileInfo().fileName();
            const pid_t pid = name.toInt();
            const auto process = pid > 0 ? parentAndGroup(name) : std::nullopt;
            if (!process || process->first != self ||
                (process->second != group && !carriesMark(name, mark))) {
                continue;
            }
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
            found = true;
        }
        if (!found) {
            if (::kill(-group, 0) != 0) {
                return;
            }
            ::usleep(1000);
        }
    }
}

// A running child: its pipes, its exit and its process group. posix_spawn starts it without
// copying Glowdeck's memory (a vfork), which a fork() would make Glowdeck pay for page by page.
class Child {
public:
    Child(const QString& program, const QStringList& arguments) : mark_(newRunMark()) {
        adoptOrphans();
        const QByteArray path = QFile::encodeName(program);
        std::vector<QByteArray> storage{path};
        for (const QString& argument : arguments) {
            storage.push_back(argument.toLocal8Bit());
        }
        std::vector<char*> argv;
        for (QByteArray& a : storage) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);

        int outPipe[2];
        int errPipe[2];
        if (::pipe2(outPipe, O_CLOEXEC) != 0) {
            throw LaunchError(
                errorMessage(errorText::couldNotStart, program, englishSystemReason(errno)));
        }
        out_.reset(outPipe[0]);
        Fd outWrite(outPipe[1]);
        if (::pipe2(errPipe, O_CLOEXEC) != 0) {
            throw LaunchError(
                errorMessage(errorText::couldNotStart, program, englishSystemReason(errno)));
        }
        err_.reset(errPipe[0]);
        Fd errWrite(errPipe[1]);
        ::fcntl(out_.get(), F_SETFL, O_NONBLOCK);
        ::fcntl(err_.get(), F_SETFL, O_NONBLOCK);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, outWrite.get(), STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, errWrite.get(), STDERR_FILENO);
        // Its own process group, every signal at its default and none blocked, whatever
        // Glowdeck was started with (nohup, a launcher that blocks signals).
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigdefault(&attributes, &all);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setflags(
            &attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
        std::vector<char*> environment = markedEnvironment(mark_);
        const int error = ::posix_spawn(&pid_, path.constData(), &actions, &attributes, argv.data(),
                                        environment.data());
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        if (error != 0) {
            throw LaunchError(
                errorMessage(errorText::couldNotStart, program, englishSystemReason(error)));
        }
        exit_.reset(static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0)));
    }

    // Reaps it and ends whatever it started, however that detached.
    ~Child() {
        if (!reaped_) {
            signalGroup(SIGKILL);
            reap();
        }
        endLeftovers(pid_, mark_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The child leads its own process group, so this also reaches what it started: a wrapper
    // script's program that hangs must not outlive the run and hold the lights.
    void signalGroup(int signal) const { ::kill(-pid_, signal); }

    // Waits until `until` for output or the child's end, taking in what arrives but no more
    // than `cap` bytes in all; true once the child has been reaped.
    bool waitUntil(Clock::time_point until, ProcessResult& result, qsizetype cap) {
        if (exit_.get() < 0) {  // no pidfd: look for the exit now and then
            until = std::min(until, Clock::now() + std::chrono::milliseconds(20));
        }
        pollfd fds[3] = {
            {out_.get(), POLLIN, 0}, {err_.get(), POLLIN, 0}, {exit_.get(), POLLIN, 0}};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        if (::poll(fds, 3, static_cast<int>(std::max<long long>(left.count(), 0))) < 0 &&
            errno != EINTR) {
            throw LaunchError(errorMessage(errorText::couldNotRead, englishSystemReason(errno)));
        }
        drain(result, cap);
        siginfo_t info{};
        const bool exited = exit_.get() >= 0 ? (fds[2].revents & POLLIN) != 0
                                             : ::waitid(P_PID, static_cast<id_t>(pid_), &info,
                                                        WEXITED | WNOHANG | WNOWAIT) == 0 &&
                                                   info.si_pid == pid_;
        if (!exited) {
            return false;
        }
        // Ended: take what is left in the pipes, without waiting for a grandchild that holds
        // them. What it started goes with it, while its pid still names the group.
        drain(result, cap);
        signalGroup(SIGKILL);
        reap();
        return true;
    }

    int status() const { return status_; }

private:
    // Reads what the pipes hold now; a pipe at its end is closed.
    void drain(ProcessResult& result, qsizetype cap) {
        char buffer[65536];
        for (auto [fd, into] :
             {std::pair{&out_, &result.standardOutput}, std::pair{&err_, &result.standardError}}) {
            while (fd->get() >= 0 &&
                   result.standardOutput.size() + result.standardError.size() <= cap) {
                const ssize_t n = ::read(fd->get(), buffer, sizeof buffer);
                if (n > 0) {
                    into->append(buffer, n);
                } else if (n == 0 || errno != EINTR) {
                    if (n == 0 || errno != EAGAIN) {
                        fd->reset();
                    }
                    break;
                }
            }
        }
    }

    void reap() {
        while (!reaped_ && ::waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
    }

    QByteArray mark_;
    pid_t pid_ = 0;
    Fd out_;
    Fd err_;
    Fd exit_;
    int status_ = 0;
    bool reaped_ = false;
};

}  // namespace

void RunStopper::stop() {
    stopped_ = true;
    emit stopped();
}

ProcessResult runChildProcess(const QString& program, const QStringList& arguments,
                              const ProcessLimits& limits, const RunStopper* stopper) {
    if (stopper && stopper->isStopped()) {
        throw LaunchError(QString::fromLatin1(errorText::abandoned));
    }
    const auto deadline = Clock::now() + limits.timeout;
    std::optional<Clock::time_point> graceEnds;
    ProcessResult result;
    Child child(program, arguments);
    for (;;) {
        const auto now = Clock::now();
        if (now >= deadline) {
            throw LaunchError(QString::fromLatin1(errorText::timedOut)
                                  .arg(seconds(limits.timeout)));  // ~Child kills the group
        }
        if (stopper && stopper->isStopped() && !graceEnds) {
            child.signalGroup(SIGTERM);
            graceEnds = now + limits.stopGrace;
        }
        if (graceEnds && now >= *graceEnds) {
            throw LaunchError(QString::fromLatin1(errorText::abandoned));
        }
        // Wake now and then to notice a stop.
        auto until = std::min(deadline, graceEnds.value_or(deadline));
        if (stopper) {
            until = std::min(until, now + std::chrono::milliseconds(50));
        }
        const bool ended = child.waitUntil(until, result, limits.maxOutputBytes);
        if (result.standardOutput.size() + result.standardError.size() > limits.maxOutputBytes) {
            throw LaunchError(QString::fromLatin1(errorText::tooMuchOutput)
                                  .arg(limits.maxOutputBytes / (1024.0 * 1024.0)));
        }
        if (ended) {
            break;
        }
    }
    if (graceEnds) {
        throw LaunchError(QString::fromLatin1(errorText::abandoned));
    }
    const int status = child.status();
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        result.exitCode = 128 + signal;
        result.killedBy = signalName(signal);
    } else {
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}
