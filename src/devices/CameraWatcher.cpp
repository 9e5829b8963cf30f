#include "CameraWatcher.h"

#include "LitraError.h"

#include <QDir>
#include <QSocketNotifier>

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t nodeEvents = IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE;
constexpr uint32_t folderEvents = IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM | IN_ONLYDIR;

bool isCameraNode(std::string_view name) {
    constexpr std::string_view prefix = "video";
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) {
        return false;
    }
    return name.find_first_not_of("0123456789", prefix.size()) == std::string_view::npos;
}

bool isNumber(const char* text) {
    return *text && std::strspn(text, "0123456789") == std::strlen(text);
}

// Whether any fd link in the open /proc/PID/fd points at a camera node of `folder/`.
bool holdsCamera(DIR* fds, const std::string& folder) {
    char target[4096];
    while (const dirent* entry = readdir(fds)) {
        const ssize_t length = readlinkat(dirfd(fds), entry->d_name, target, sizeof target);
        if (length <= 0 || size_t(length) <= folder.size()) {
            continue;
        }
        const std::string_view link(target, size_t(length));
        if (link.substr(0, folder.size()) == folder && isCameraNode(link.substr(folder.size()))) {
            return true;
        }
    }
    return false;
}

QString systemReason(const QString& what) {
    return what + QStringLiteral(": ") + ::systemReason(errno);
}

}  // namespace

bool isCameraNode(const QString& name) {
    return isCameraNode(std::string_view(name.toStdString()));
}

namespace {

// Whether the process `pid` (a name under the open /proc) holds a camera node of `prefix`.
bool holdsCamera(DIR* processes, const char* pid, const std::string& prefix) {
    const int fdsFd = openat(dirfd(processes), (std::string(pid) + "/fd").c_str(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdsFd < 0) {
        return false;  // another user's, or gone
    }
    DIR* fds = fdopendir(fdsFd);
    if (!fds) {
        close(fdsFd);
        return false;
    }
    const bool holds = holdsCamera(fds, prefix);
    closedir(fds);
    return holds;
}

}  // namespace

pid_t findCameraHolder(const QString& folder, pid_t likely) {
    const std::string prefix = QDir::cleanPath(folder).toStdString() + '/';
    DIR* processes = opendir("/proc");
    if (!processes) {
        return 0;
    }
    pid_t found = 0;
    if (likely > 0 && holdsCamera(processes, std::to_string(likely).c_str(), prefix)) {
        found = likely;
    }
    while (found == 0) {
        const dirent* process = readdir(processes);
        if (!process) {
            break;
        }
        if (isNumber(process->d_name) && holdsCamera(processes, process->d_name, prefix)) {
            found = pid_t(std::atoi(process->d_name));
        }
    }
    closedir(processes);
    return found;
}

// Asked without a watch: closing an inotify instance that has had one waits for the kernel's
// grace period, up to 15 ms of a stalled start. A watch the kernel refuses all the same (too
// many of them) is told when the watcher is made.
std::optional<QString> CameraWatcher::unavailable(const QString& folder) {
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        return systemReason(QObject::tr("inotify is unavailable"));
    }
    close(fd);
    // What inotify_add_watch asks of the folder.
    if (::access(QFile::encodeName(folder).constData(), R_OK) != 0) {
        return systemReason(QObject::tr("Cannot watch %1").arg(folder));
    }
    return std::nullopt;
}

CameraWatcher::CameraWatcher(const QString& folder, CameraFollow::Timing timing, QObject* parent)
    : QObject(parent), folder_(QDir(folder).canonicalPath()), follow_(timing) {
    if (const auto reason = unavailable(folder)) {
        throw GlowdeckError(*reason);
    }
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    folderWatch_ = inotify_add_watch(fd_, QFile::encodeName(folder_).constData(), folderEvents);
    if (fd_ < 0 || folderWatch_ < 0) {
        const QString reason = systemReason(tr("Cannot watch %1").arg(folder));
        if (fd_ >= 0) {
            close(fd_);
        }
        throw GlowdeckError(reason);
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CameraWatcher::readEvents);
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    connect(&deadline_, &QTimer::timeout, this, [this] { check(); });
    for (const QString& name : QDir(folder_).entryList(QDir::System | QDir::Files)) {
        watchNode(name);
    }
    check();  // a camera may be in use already
}

CameraWatcher::~CameraWatcher() {
    close(fd_);
}

void CameraWatcher::watchNode(const QString& name) {
    if (!isCameraNode(name)) {
        return;
    }
    const QString path = folder_ + u'/' + name;
    const int watch = inotify_add_watch(fd_, QFile::encodeName(path).constData(), nodeEvents);
    if (watch >= 0) {
        nodeWatches_[watch] = name;
    }
}

void CameraWatcher::readEvents() {
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    bool opened = false;
    for (;;) {
        const ssize_t length = read(fd_, buffer, sizeof buffer);
        if (length <= 0) {
            break;
        }
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_IGNORED) {
                nodeWatches_.erase(event->wd);  // the node is gone
                changed = true;
            } else if (event->wd == folderWatch_) {
                if (event->len && isCameraNode(std::string_view(event->name))) {
                    if (event->mask & (IN_CREATE | IN_MOVED_TO)) {
                        watchNode(QFile::decodeName(event->name));
                    }
                    changed = true;
                }
            } else {
                opened = event->mask & IN_OPEN;
                changed = true;
            }
            changed = changed || (event->mask & IN_Q_OVERFLOW);
        }
    }
    if (changed) {
        // An open is reported before the opener's fd appears under /proc: when it came last,
        // it counts as a holder without a look.
        check(opened);
    }
}

void CameraWatcher::check(bool opened) {
    // Whoever held a camera last time is the likely holder now: while a call goes on, a check
    // looks at that one process alone.
    if (!opened) {
        lastHolder_ = findCameraHolder(folder_, lastHolder_);
    }
    const int holders = opened || lastHolder_ > 0 ? 1 : 0;
    const auto now = CameraFollow::Clock::now();
    const CameraFollow::Step step = follow_.update(holders, now);
    if (const auto due = follow_.deadline()) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - now);
        deadline_.start(std::max(wait, std::chrono::milliseconds(0)));
    } else {
        deadline_.stop();
    }
    if (step == CameraFollow::Step::began) {
        emit began();
    } else if (step == CameraFollow::Step::ended) {
        emit ended();
    }
}
