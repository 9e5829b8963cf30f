#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

constexpr qint64 maxMessageLength = 64;
constexpr int connectTimeoutMs = 500;
constexpr int writeTimeoutMs = 2000;
constexpr auto retryInterval = std::chrono::milliseconds(100);
// A client that connects and says nothing is dropped after this.
constexpr auto idleClientTimeout = std::chrono::seconds(5);
// Longer display names are hashed so that the socket path stays within the system's limit.
constexpr qsizetype maxDisplayNameLength = 40;

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString lockFailure(QLockFile::LockError error) {
    switch (error) {
        case QLockFile::PermissionError:
            return systemReason(EACCES);
        case QLockFile::LockFailedError:
            return QStringLiteral("held by another process");
        case QLockFile::NoError:
        case QLockFile::UnknownError:
            break;
    }
    return QStringLiteral("unknown error");
}

// Creates the folder and any missing parents, private to the user. Returns errno on failure,
// 0 on success.
int makeDirectories(const QByteArray& path) {
    struct stat info {};
    if (::stat(path.constData(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    }
    const qsizetype slash = path.lastIndexOf('/');
    if (slash > 0) {
        if (const int error = makeDirectories(path.left(slash))) {
            return error;
        }
    }
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        return errno;
    }
    return 0;
}

QString sanitised(const QString& display) {
    QString name;
    for (const QChar c : display) {
        const bool safe = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                          (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                          (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                          c == QLatin1Char('.') || c == QLatin1Char('-');
        name += safe ? c : QLatin1Char('_');
    }
    if (name.size() > maxDisplayNameLength) {
        return QString::fromLatin1(
            QCryptographicHash::hash(display.toUtf8(), QCryptographicHash::Sha256)
                .toHex()
                .left(32));
    }
    return name;
}

// The address of a Unix socket file; false when the path is too long for one.
bool socketAddress(const QByteArray& path, sockaddr_un* address) {
    *address = {};
    address->sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof address->sun_path)) {
        return false;
    }
    std::memcpy(address->sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
}

// Waits until the descriptor is ready for `events`; false on time-out or error.
bool waitFor(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready == 0) {
        errno = ETIMEDOUT;
    }
    return ready > 0 && (entry.revents & events);
}

// One later start talking to us: reads its one line, then hangs up.
class RequestReader : public QObject {
public:
    RequestReader(int fd, std::function<void()> openPreferences, QObject* parent)
        : QObject(parent),
          fd_(fd),
          notifier_(fd, QSocketNotifier::Read),
          openPreferences_(std::move(openPreferences)) {
        connect(&notifier_, &QSocketNotifier::activated, this, &RequestReader::read);
        QTimer::singleShot(idleClientTimeout, this, &RequestReader::finish);
    }
    ~RequestReader() override { ::close(fd_); }

private:
    void read() {
        char chunk[maxMessageLength + 1];
        for (;;) {
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && errno == EAGAIN) {
                return;  // more to come
            }
            if (n <= 0) {
                finish();  // hung up or failed before a whole line
                return;
            }
            received_.append(chunk, n);
            const qsizetype end = received_.indexOf('\n');
            if (end >= 0 && end < maxMessageLength + 1) {
                if (received_.left(end + 1) == SingleInstance::openPreferencesMessage) {
                    openPreferences_();
                }
                finish();
                return;
            }
            if (received_.size() > maxMessageLength) {
                finish();
                return;
            }
        }
    }

    void finish() {
        notifier_.setEnabled(false);
        deleteLater();
    }

    int fd_;
    QSocketNotifier notifier_;
    std::function<void()> openPreferences_;
    QByteArray received_;
};

}  // namespace

SingleInstance::SingleInstance(QString directory, QString name, QObject* parent)
    : QObject(parent), directory_(std::move(directory)), name_(std::move(name)) {}

SingleInstance::~SingleInstance() {
    // The socket goes before the lock.
    if (serverFd_ >= 0) {
        serverNotifier_.reset();
        ::close(serverFd_);
        ::unlink(QFile::encodeName(socketPath()).constData());
    }
    lock_.reset();
}

QString SingleInstance::defaultDirectory() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir()) {
        return QDir(runtime).filePath(QStringLiteral("glowdeck"));
    }
    return QDir(QDir::tempPath()).filePath(QStringLiteral("glowdeck-%1").arg(::getuid()));
}

QString SingleInstance::sessionName() {
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!wayland.isEmpty()) {
        return QStringLiteral("wayland-") + sanitised(wayland);
    }
    QString x11 = qEnvironmentVariable("DISPLAY");
    if (!x11.isEmpty()) {
        // ":0" and ":0.0" are the same display.
        const qsizetype colon = x11.lastIndexOf(u':');
        const qsizetype dot = x11.lastIndexOf(u'.');
        auto digits = [&](qsizetype from, qsizetype to) {
            if (from >= to) {
                return false;
            }
            for (qsizetype i = from; i < to; ++i) {
                if (!x11.at(i).isDigit()) {
                    return false;
                }
            }
            return true;
        };
        if (colon >= 0 && dot > colon && digits(colon + 1, dot) && digits(dot + 1, x11.size())) {
            x11.truncate(dot);
        }
        return QStringLiteral("x11-") + sanitised(x11);
    }
    return QStringLiteral("default");
}

QString SingleInstance::socketPath() const {
    return QDir(directory_).filePath(name_ + QStringLiteral(".socket"));
}

QString SingleInstance::lockPath() const {
    return QDir(directory_).filePath(name_ + QStringLiteral(".lock"));
}

void SingleInstance::ensureDirectory() const {
    const QByteArray native = QFile::encodeName(QDir::cleanPath(directory_));
    if (const int error = makeDirectories(native)) {
        throw SingleInstanceError(
            SingleInstanceError::Kind::unavailable,
            tr("Could not create the folder %1: %2")
                .arg(QDir::toNativeSeparators(directory_), systemReason(error)));
    }
    // Others must not be able to plant a socket or a lock here.
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) {
        throw SingleInstanceError(
            SingleInstanceError::Kind::unavailable,
            tr("Could not read the folder %1: %2")
                .arg(QDir::toNativeSeparators(directory_), systemReason(errno)));
    }
    QString unsafe;
    if (!S_ISDIR(info.st_mode)) {
        unsafe = tr("it is not a folder");
    } else if (info.st_uid != ::getuid()) {
        unsafe = tr("it belongs to another user");
    } else if ((info.st_mode & 077) != 0) {
        unsafe = tr("other users can use it");
    }
    if (!unsafe.isEmpty()) {
        throw SingleInstanceError(SingleInstanceError::Kind::unavailable,
                                  tr("Cannot keep Glowdeck to one process with the folder %1: %2")
                                      .arg(QDir::toNativeSeparators(directory_), unsafe));
    }
}

SingleInstance::Outcome SingleInstance::claim() {
    ensureDirectory();
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Only a lock whose process is gone is stale, however old it is.
    lock_->setStaleLockTime(0);

    const QDeadlineTimer deadline(answerTimeout);
    QString failure;
    for (;;) {
        if (lock_->tryLock(0)) {
            listen();
            return Outcome::claimed;
        }
        if (lock_->error() != QLockFile::LockFailedError) {
            throw SingleInstanceError(
                SingleInstanceError::Kind::unavailable,
                tr("Could not take the lock %1: %2")
                    .arg(QDir::toNativeSeparators(lockPath()), lockFailure(lock_->error())));
        }
        // The running one may still be starting and not listen yet.
        if (handOver(&failure)) {
            lock_.reset();
            return Outcome::handedOver;
        }
        if (deadline.hasExpired()) {
            qint64 pid = 0;
            QString host;
            QString application;
            lock_->getLockInfo(&pid, &host, &application);
            lock_.reset();
            throw SingleInstanceError(SingleInstanceError::Kind::notAnswering,
                                      tr("Glowdeck is already running (process %1) but does not "
                                         "answer at %2: %3")
                                          .arg(pid)
                                          .arg(QDir::toNativeSeparators(socketPath()), failure));
        }
        QThread::msleep(static_cast<unsigned long>(retryInterval.count()));
    }
}

void SingleInstance::listen() {
    const QByteArray path = QFile::encodeName(socketPath());
    auto failed = [&](const QString& reason) {
        return SingleInstanceError(SingleInstanceError::Kind::unavailable,
                                   tr("Could not listen for other starts of Glowdeck at %1: %2")
                                       .arg(QDir::toNativeSeparators(socketPath()), reason));
    };
    sockaddr_un address;
    if (!socketAddress(path, &address)) {
        throw failed(systemReason(ENAMETOOLONG));
    }
    // Holding the lock, any socket here is left over from a run that ended without closing it.
    ::unlink(path.constData());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        throw failed(systemReason(errno));
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path.constData(), 0600) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.constData());
        throw failed(systemReason(error));
    }
    serverFd_ = fd;
    serverNotifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(serverNotifier_.get(), &QSocketNotifier::activated, this,
            &SingleInstance::acceptConnection);
}

bool SingleInstance::handOver(QString* failure) const {
    sockaddr_un address;
    if (!socketAddress(QFile::encodeName(socketPath()), &address)) {
        *failure = systemReason(ENAMETOOLONG);
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        *failure = systemReason(errno);
        return false;
    }
    const QByteArray message(openPreferencesMessage);
    bool sent = false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
        ((errno == EAGAIN || errno == EINPROGRESS) && waitFor(fd, POLLOUT, connectTimeoutMs))) {
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error != 0) {
            errno = error;
        } else if (waitFor(fd, POLLOUT, writeTimeoutMs)) {
            sent = ::send(fd, message.constData(), static_cast<std::size_t>(message.size()),
                          MSG_NOSIGNAL) == message.size();
        }
    }
    if (!sent) {
        *failure = systemReason(errno);
    }
    ::close(fd);
    return sent;
}

void SingleInstance::acceptConnection() {
    for (;;) {
        const int client = ::accept4(serverFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;  // none left (EAGAIN), or one that gave up before we got to it
        }
        new RequestReader(
            client, [this] { emit preferencesRequested(); }, this);
    }
}
