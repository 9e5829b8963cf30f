#include "ChildProcess.h"

#include "LitraError.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/epoll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/timerfd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <QAbstractEventDispatcher>
#include <QCoroTimer>
#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <coroutine>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
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
    static const QByteArray ofThisProcess = runMarkName + QByteArray::number(::getpid()) + '.';
    static std::atomic<unsigned long long> runs{0};
    return ofThisProcess + QByteArray::number(++runs);
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

// What /proc tells of a process: its parent, its process group, and whether it is between
// the two halves of an exec, when its new environment is not yet readable (env_end still 0;
// the kernel also shows 0 for a process Glowdeck may not inspect).
struct ProcessLook {
    pid_t parent = 0;
    pid_t group = 0;
    bool execing = false;
};

std::optional<ProcessLook> lookAt(const QString& pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return std::nullopt;
    }
    // "pid (name) state ppid pgrp ...": fields from the state on; env_end is the 51st field.
    const QByteArray line = stat.read(2048);
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 3) {
        return std::nullopt;
    }
    constexpr int envEnd = 51 - 3;
    const bool dead = fields[0] == "Z" || fields[0] == "X";
    return ProcessLook{fields[1].toInt(), fields[2].toInt(),
                       !dead && fields.size() > envEnd && fields[envEnd].trimmed() == "0"};
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
// finds nothing while the group has members (a signal 0 sends nothing) is taken again; so is
// one that met a child of Glowdeck's in the middle of an exec, whose mark it could not read.
void endLeftovers(pid_t group, const QByteArray& mark) {
    if (!hasChildren() || !anyStartedSince(group)) {
        return;
    }
    const pid_t self = ::getpid();
    constexpr int maxLooks = 200;  // a millisecond apart while the group is dying
    // An exec is over well within this; a child whose stat hides it (not readable to Glowdeck)
    // looks the same for ever and must not hold up every run.
    constexpr int maxLooksForAnExec = 20;
    int looksForAnExec = 0;
    for (int look = 0; look < maxLooks; ++look) {
        bool found = false;
        bool unsure = false;
        for (QDirIterator it(QStringLiteral("/proc"), QDir::Dirs); it.hasNext();) {
            const QString name = it.nextFileInfo().fileName();
            const pid_t pid = name.toInt();
            const auto process = pid > 0 ? lookAt(name) : std::nullopt;
            if (!process || process->parent != self) {
                continue;
            }
            if (process->group != group && !carriesMark(name, mark)) {
                unsure = unsure || process->execing;
                continue;
            }
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
            found = true;
        }
        if (!found) {
            const bool waitForExec = unsure && ++looksForAnExec <= maxLooksForAnExec;
            if (!waitForExec && ::kill(-group, 0) != 0) {
                return;
            }
            ::usleep(1000);
        }
    }
}

// Resumes the run's coroutine when something it waits for happens: output, the child's end,
// the deadline or a stop. What happens while the coroutine runs is kept for its next wait.
class Wake {
public:
    void operator()() {
        if (auto waiting = std::exchange(waiting_, {})) {
            waiting.resume();
        } else {
            pending_ = true;
        }
    }
    // The coroutine's next wait. (An awaiter of its own: the task may copy what it awaits.)
    auto next() {
        struct Awaiter {
            Wake& wake;
            bool await_ready() noexcept { return std::exchange(wake.pending_, false); }
            void await_suspend(std::coroutine_handle<> waiting) noexcept {
                wake.waiting_ = waiting;
            }
            void await_resume() const noexcept {}
        };
        return Awaiter{*this};
    }

private:
    std::coroutine_handle<> waiting_;
    bool pending_ = false;
};

// The descriptors and deadlines of this thread's runs, in one epoll set that a single notifier
// watches. Made once per event loop, so that a run's descriptors come and go without the loop
// having to register them (each registration would wake it, twice per run and descriptor).
// The deadlines share one timer in the set: a run's costs two settings of it, not a QTimer.
class RunEvents {
public:
    using Clock = std::chrono::steady_clock;
    using Deadlines = std::multimap<Clock::time_point, Wake*>;

    static RunEvents& ofThisThread() {
        std::unique_ptr<RunEvents>& events = slot();
        if (!events || events->dispatcher_ != QAbstractEventDispatcher::instance()) {
            events.reset(new RunEvents);
        }
        return *events;
    }
    // This thread's set, if it is still the one that `serial` named.
    static RunEvents* still(std::uint64_t serial) {
        RunEvents* events = slot().get();
        return events && events->serial_ == serial ? events : nullptr;
    }
    std::uint64_t serial() const { return serial_; }

    // Wakes `wake` while `fd` is readable, until removed; false when the kernel refuses it.
    bool add(int fd, Wake& wake) { return watch(fd, &wake); }
    void remove(int fd) { ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, fd, nullptr); }

    // Wakes `wake` once `when` has come, until the deadline is dropped.
    Deadlines::iterator addDeadline(Clock::time_point when, Wake& wake) {
        const auto deadline = deadlines_.emplace(when, &wake);
        if (deadline == deadlines_.begin()) {
            arm();
        }
        return deadline;
    }
    void dropDeadline(Deadlines::iterator deadline) {
        const bool wasFirst = deadline == deadlines_.begin();
        deadlines_.erase(deadline);
        if (wasFirst) {
            arm();
        }
    }

private:
    static std::unique_ptr<RunEvents>& slot() {
        thread_local std::unique_ptr<RunEvents> events;
        return events;
    }

    RunEvents()
        : serial_(++made_),
          dispatcher_(QAbstractEventDispatcher::instance()),
          epoll_(::epoll_create1(EPOLL_CLOEXEC)),
          timer_(::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)),
          notifier_(epoll_.get(), QSocketNotifier::Read) {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { wakeOne(); });
        // Without a timer in the set, a QTimer keeps the deadlines.
        if (!watch(timer_.get(), nullptr)) {
            timer_.reset();
            fallbackTimer_.setSingleShot(true);
            fallbackTimer_.setTimerType(Qt::PreciseTimer);
            fallbackTimer_.callOnTimeout([this] { deadlineCame(); });
        }
    }

    bool watch(int fd, Wake* wake) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.ptr = wake;
        return fd >= 0 && ::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, fd, &event) == 0;
    }

    // Sets the timer to the first deadline, or stops it.
    void arm() {
        if (timer_.get() < 0) {
            if (deadlines_.empty()) {
                fallbackTimer_.stop();
            } else {
                fallbackTimer_.start(std::chrono::ceil<std::chrono::milliseconds>(
                    std::max(deadlines_.begin()->first - Clock::now(), Clock::duration::zero())));
            }
            return;
        }
        itimerspec setting{};
        if (!deadlines_.empty()) {
            const auto since = deadlines_.begin()->first.time_since_epoch();
            const auto seconds = std::chrono::floor<std::chrono::seconds>(since);
            // steady_clock is CLOCK_MONOTONIC; an absolute time of zero would disarm the timer.
            setting.it_value.tv_sec = std::max<time_t>(seconds.count(), 0);
            setting.it_value.tv_nsec =
                std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count();
            if (setting.it_value.tv_sec == 0 && setting.it_value.tv_nsec == 0) {
                setting.it_value.tv_nsec = 1;
            }
        }
        ::timerfd_settime(timer_.get(), TFD_TIMER_ABSTIME, &setting, nullptr);
    }

    // Wakes the run whose deadline came first. Another that has come too is woken at the next
    // pass, by the timer set anew to a time already past.
    void deadlineCame() {
        if (!deadlines_.empty() && deadlines_.begin()->first <= Clock::now()) {
            Wake& wake = *deadlines_.begin()->second;
            wake();  // the run ends, and drops its deadline
        }
        arm();
    }

    // One run per pass: what it does when woken may end other runs. The set stays readable
    // while more are ready, and the loop comes back for them.
    void wakeOne() {
        epoll_event event{};
        if (::epoll_wait(epoll_.get(), &event, 1, 0) != 1) {
            return;
        }
        if (event.data.ptr) {
            (*static_cast<Wake*>(event.data.ptr))();
            return;
        }
        std::uint64_t expirations = 0;
        if (::read(timer_.get(), &expirations, sizeof expirations) > 0) {
            deadlineCame();
        }
    }

    static inline thread_local std::uint64_t made_ = 0;
    std::uint64_t serial_;
    QAbstractEventDispatcher* dispatcher_;
    Fd epoll_;
    Fd timer_;
    QTimer fallbackTimer_;
    Deadlines deadlines_;
    QSocketNotifier notifier_;
};

// A descriptor of a run, watched while it is open.
struct Watched {
    Fd fd;
    bool watched = false;

    bool watch(Wake& wake) {
        watched = fd.get() >= 0 && RunEvents::ofThisThread().add(fd.get(), wake);
        return watched;
    }
    void close() {
        if (std::exchange(watched, false)) {
            RunEvents::ofThisThread().remove(fd.get());
        }
        fd.reset();
    }
    ~Watched() { close(); }
};

// A run's time limit, kept in this thread's set while the run lasts.
class Deadline {
public:
    Deadline(RunEvents::Clock::time_point when, Wake& wake)
        : Deadline(when, wake, RunEvents::ofThisThread()) {}
    ~Deadline() {
        if (RunEvents* events = RunEvents::still(serial_)) {
            events->dropDeadline(entry_);
        }
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

    bool passed() const { return RunEvents::Clock::now() >= when_; }

private:
    Deadline(RunEvents::Clock::time_point when, Wake& wake, RunEvents& events)
        : when_(when), serial_(events.serial()), entry_(events.addDeadline(when, wake)) {}

    RunEvents::Clock::time_point when_;
    std::uint64_t serial_;
    RunEvents::Deadlines::iterator entry_;
};

using ReadBuffer = char[65536];
// How long a run waits, outside the event loop, for a child that looks about to end.
constexpr int endingWaitMs = 1;

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
        out_.fd.reset(outPipe[0]);
        Fd outWrite(outPipe[1]);
        if (::pipe2(errPipe, O_CLOEXEC) != 0) {
            throw LaunchError(
                errorMessage(errorText::couldNotStart, program, englishSystemReason(errno)));
        }
        err_.fd.reset(errPipe[0]);
        Fd errWrite(errPipe[1]);
        ::fcntl(out_.fd.get(), F_SETFL, O_NONBLOCK);
        ::fcntl(err_.fd.get(), F_SETFL, O_NONBLOCK);

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
        exit_.fd.reset(static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0)));
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

    // Has `wake` called when output arrives or the child ends.
    void watch(Wake& wake) {
        // Without an epoll set or a pidfd, look for output and the exit now and then.
        if (!(out_.watch(wake) & err_.watch(wake) & exit_.watch(wake))) {
            exitLook_ = std::make_unique<QTimer>();
            exitLook_->callOnTimeout([&wake] { wake(); });
            exitLook_->start(20);
        }
    }

    // The child leads its own process group, so this also reaches what it started: a wrapper
    // script's program that hangs must not outlive the run and hold the lights.
    void signalGroup(int signal) const { ::kill(-pid_, signal); }

    // Takes in what the pipes hold, but no more than `cap` bytes in all; true once the child
    // has ended and been reaped.
    bool collect(ProcessResult& result, qsizetype cap) {
        const qsizetype before = result.standardOutput.size() + result.standardError.size();
        const int openBefore = openPipes();
        drain(result, cap);
        // A child that has just written a little, or closed its output, is most likely ending
        // (litra prints its answer last): a moment's wait for that here spares the event loop a
        // pass for each of those steps. A child that fills the pipe is not waited for.
        const qsizetype read = result.standardOutput.size() + result.standardError.size() - before;
        const bool ending = exit_.fd.get() >= 0 && read < qsizetype(sizeof(ReadBuffer)) &&
                            (read > 0 || openPipes() < openBefore);
        if (!hasExited(ending ? endingWaitMs : 0)) {
            return false;
        }
        // Ended: take what is left in the pipes, without waiting for a grandchild that holds
        // them. What it started goes with it, while its pid still names the group.
        drain(result, cap);
        signalGroup(SIGKILL);
        reap();
        return true;
    }

    // For a stop: SIGTERM to the group, SIGKILL once the grace is over.
    void end(std::chrono::milliseconds grace) {
        signalGroup(SIGTERM);
        hasExited(static_cast<int>(grace.count()));
        signalGroup(SIGKILL);
        reap();
    }

    int status() const { return status_; }

private:
    // Whether the child has ended, waiting up to `timeoutMs` for it; it is not reaped.
    bool hasExited(int timeoutMs) const {
        if (exit_.fd.get() >= 0) {
            pollfd exit{exit_.fd.get(), POLLIN, 0};
            while (::poll(&exit, 1, timeoutMs) < 0 && errno == EINTR) {
            }
            return (exit.revents & POLLIN) != 0;
        }
        for (int waited = 0;; waited += 10) {
            siginfo_t info{};
            if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                info.si_pid == pid_) {
                return true;
            }
            if (waited >= timeoutMs) {
                return false;
            }
            ::usleep(10'000);
        }
    }

    // Reads what the pipes hold now; a pipe at its end is closed.
    int openPipes() const { return (out_.fd.get() >= 0 ? 1 : 0) + (err_.fd.get() >= 0 ? 1 : 0); }

    void drain(ProcessResult& result, qsizetype cap) {
        ReadBuffer buffer;
        for (auto [pipe, into] :
             {std::pair{&out_, &result.standardOutput}, std::pair{&err_, &result.standardError}}) {
            while (pipe->fd.get() >= 0 &&
                   result.standardOutput.size() + result.standardError.size() <= cap) {
                const ssize_t n = ::read(pipe->fd.get(), buffer, sizeof buffer);
                if (n > 0) {
                    into->append(buffer, n);
                } else if (n == 0 || errno != EINTR) {
                    if (n == 0 || errno != EAGAIN) {
                        pipe->close();
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
        exit_.close();
        if (exitLook_) {
            exitLook_->stop();
        }
    }

    QByteArray mark_;
    pid_t pid_ = 0;
    Watched out_;
    Watched err_;
    Watched exit_;
    std::unique_ptr<QTimer> exitLook_;  // made only where it is needed
    int status_ = 0;
    bool reaped_ = false;
};

}  // namespace

void RunStopper::stop() {
    stopped_ = true;
    emit stopped();
}

QCoro::Task<ProcessResult> runChildProcess(QString program, QStringList arguments,
                                           ProcessLimits limits, const RunStopper* stopper) {
    if (stopper && stopper->isStopped()) {
        throw LaunchError(QString::fromLatin1(errorText::abandoned));
    }
    Wake wake;  // outlives the child, whose descriptors wake it
    std::optional<Child> started;
    std::exception_ptr launchFailure;
    try {
        started.emplace(program, arguments);
    } catch (const LaunchError&) {
        launchFailure = std::current_exception();
    }
    if (launchFailure) {
        // Heard from the event loop, as every other end of a run is, not within the call.
        co_await QCoro::sleepFor(std::chrono::milliseconds(0));
        std::rethrow_exception(launchFailure);
    }
    Child& child = *started;
    ProcessResult result;
    child.watch(wake);
    const Deadline deadline(RunEvents::Clock::now() + limits.timeout, wake);
    QMetaObject::Connection onStop;
    if (stopper) {
        onStop = QObject::connect(stopper, &RunStopper::stopped, [&wake] { wake(); });
    }
    const auto stopListening = qScopeGuard([&] { QObject::disconnect(onStop); });
    for (;;) {
        co_await wake.next();
        const bool ended = child.collect(result, limits.maxOutputBytes);
        if (result.standardOutput.size() + result.standardError.size() > limits.maxOutputBytes) {
            throw LaunchError(QString::fromLatin1(errorText::tooMuchOutput)
                                  .arg(limits.maxOutputBytes / (1024.0 * 1024.0)));
        }
        if (ended) {
            break;
        }
        if (stopper && stopper->isStopped()) {
            child.end(limits.stopGrace);
            throw LaunchError(QString::fromLatin1(errorText::abandoned));
        }
        if (deadline.passed()) {
            throw LaunchError(QString::fromLatin1(errorText::timedOut)
                                  .arg(seconds(limits.timeout)));  // ~Child kills the group
        }
    }
    const int status = child.status();
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        result.exitCode = 128 + signal;
        result.killedBy = signalName(signal);
    } else {
        result.exitCode = WEXITSTATUS(status);
    }
    co_return result;
}
