#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <sys/stat.h>
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

}  // namespace

SingleInstance::SingleInstance(QString directory, QString name, QObject* parent)
    : QObject(parent), directory_(std::move(directory)), name_(std::move(name)) {}

SingleInstance::~SingleInstance() {
    // Closing the server removes its socket; the lock goes after it.
    server_.reset();
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
        static const QRegularExpression screen(QStringLiteral(R"(^(.*:\d+)\.\d+$)"));
        const QRegularExpressionMatch match = screen.match(x11);
        if (match.hasMatch()) {
            x11 = match.captured(1);
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
    // Holding the lock, any socket here is left over from a run that ended without closing it.
    QLocalServer::removeServer(socketPath());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath())) {
        const QString reason = server_->errorString();
        server_.reset();
        throw SingleInstanceError(SingleInstanceError::Kind::unavailable,
                                  tr("Could not listen for other starts of Glowdeck at %1: %2")
                                      .arg(QDir::toNativeSeparators(socketPath()), reason));
    }
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

bool SingleInstance::handOver(QString* failure) const {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(connectTimeoutMs)) {
        *failure = socket.errorString();
        return false;
    }
    const QByteArray message(openPreferencesMessage);
    if (socket.write(message) != message.size() || !socket.waitForBytesWritten(writeTimeoutMs)) {
        *failure = socket.errorString();
        return false;
    }
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto read = [this, socket] {
            if (socket->canReadLine()) {
                if (socket->readLine(maxMessageLength + 1) == openPreferencesMessage) {
                    emit preferencesRequested();
                }
                socket->disconnectFromServer();
            } else if (socket->bytesAvailable() > maxMessageLength) {
                socket->abort();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        QTimer::singleShot(idleClientTimeout, socket, [socket] { socket->abort(); });
        read();
    }
}
