#include "LoginItemService.h"

#include "LitraError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

constexpr const char* entryFileName = "glowdeck.desktop";

std::filesystem::path nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Creates the folder and any missing parents, private to the user as the XDG base directory
// rules ask.
std::error_code makePrivateFolders(const QString& path) {
    const QFileInfo folder(QDir::cleanPath(path));
    if (folder.exists()) {
        return folder.isDir() ? std::error_code() : make_error_code(std::errc::not_a_directory);
    }
    if (folder.path() != folder.filePath()) {
        if (const std::error_code error = makePrivateFolders(folder.path())) {
            return error;
        }
    }
    if (::mkdir(nativePath(folder.filePath()).c_str(), 0700) != 0 && errno != EEXIST) {
        return {errno, std::generic_category()};
    }
    return {};
}

// Why a desktop entry cannot start the binary at `path`, or nothing when it can.
QString unfaithfulPath(const QString& path) {
    // QFile::decodeName leaves U+FFFD for each byte that is not UTF-8.
    if (path.contains(QChar::ReplacementCharacter)) {
        return LoginItemService::tr("its path is not valid UTF-8, which autostart entries require");
    }
    for (const QChar c : path) {
        if (c.category() == QChar::Other_Control) {
            return LoginItemService::tr(
                "its path contains a control character, which autostart entries cannot hold");
        }
    }
    if (path.contains(QLatin1Char('%'))) {
        return LoginItemService::tr(
            "its path contains \"%\", which GLib-based sessions refuse to start");
    }
    return {};
}

bool isTrue(const QByteArray& value) {
    return value.trimmed() == "true";
}
bool isFalse(const QByteArray& value) {
    return value.trimmed() == "false";
}

}  // namespace

LoginItemService LoginItemService::mainAppService() {
    return {defaultAutostartDirectory(), QCoreApplication::applicationFilePath()};
}

QString LoginItemService::defaultAutostartDirectory() {
    // Relative values are invalid by the XDG base directory rules and are ignored.
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || QDir::isRelativePath(configHome)) {
        configHome = QDir::homePath() + QStringLiteral("/.config");
    }
    return configHome + QStringLiteral("/autostart");
}

LoginItemService::LoginItemService(QString autostartDirectory, QString executablePath)
    : directory_(std::move(autostartDirectory)),
      entryPath_(directory_ + QLatin1Char('/') + QLatin1String(entryFileName)),
      executablePath_(std::move(executablePath)) {}

LoginItemService::Status LoginItemService::status() const {
    QFile file(entryPath_);
    if (!file.exists()) {
        return Status::notRegistered;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        // The session cannot read it either, so nothing would start.
        return Status::disabled;
    }
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inMainGroup || equals < 0) {
            continue;
        }
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1);
        if ((key == "Hidden" && isTrue(value)) ||
            (key == "X-GNOME-Autostart-enabled" && isFalse(value))) {
            return Status::disabled;
        }
    }
    return Status::enabled;
}

void LoginItemService::registerItem() {
    if (const QString reason = unfaithfulPath(executablePath_); !reason.isEmpty()) {
        throw LoginItemError(tr("Could not write an autostart entry for %1: %2.")
                                 .arg(QDir::toNativeSeparators(executablePath_), reason));
    }
    if (const std::error_code error = makePrivateFolders(directory_)) {
        throw LoginItemError(tr("Could not create the autostart folder %1: %2")
                                 .arg(QDir::toNativeSeparators(directory_), systemReason(error.value())));
    }
    const auto failed = [this](const QString& reason) {
        return LoginItemError(tr("Could not write the autostart entry %1: %2")
                                  .arg(QDir::toNativeSeparators(entryPath_), reason));
    };
    // Written beside the entry and renamed over it: the entry is whole or not there, and a
    // link in its place is replaced, not followed (QSaveFile would write to the link's target).
    QTemporaryFile file(directory_ + QStringLiteral("/.") + QLatin1String(entryFileName) +
                        QStringLiteral("-XXXXXX"));
    const QByteArray contents = desktopEntry(executablePath_);
    if (!file.open() || file.write(contents) != contents.size() || !file.flush()) {
        throw failed(file.errorString());
    }
    if (::fsync(file.handle()) != 0) {
        throw failed(systemReason(errno));
    }
    std::error_code error;
    std::filesystem::rename(nativePath(file.fileName()), nativePath(entryPath_), error);
    if (error) {
        throw failed(systemReason(error.value()));
    }
    file.setAutoRemove(false);
}

void LoginItemService::unregisterItem() {
    // QFile removes a link itself, never its target.
    QFile entry(entryPath_);
    if (!entry.remove() && (entry.exists() || QFileInfo(entryPath_).isSymLink())) {
        throw LoginItemError(tr("Could not remove the autostart entry %1: %2")
                                 .arg(QDir::toNativeSeparators(entryPath_), entry.errorString()));
    }
}

QByteArray LoginItemService::desktopEntry(const QString& executablePath) {
    QString entry;
    entry += QStringLiteral("[Desktop Entry]\n");
    entry += QStringLiteral("Type=Application\n");
    entry += QStringLiteral("Name=Glowdeck\n");
    entry += QStringLiteral("Comment=Shows and switches your desk lights from the system tray\n");
    entry += QStringLiteral("Exec=") + execValue(executablePath) + QLatin1Char('\n');
    entry += QStringLiteral("Terminal=false\n");
    entry += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return entry.toUtf8();
}

QString LoginItemService::execValue(const QString& executablePath) {
    // Argument level: quote when a reserved character appears; inside quotes, escape " ` $ \.
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (const QChar c : executablePath) {
        if (reserved.contains(c)) {
            needsQuotes = true;
            break;
        }
    }
    QString argument;
    if (needsQuotes) {
        argument += QLatin1Char('"');
        for (const QChar c : executablePath) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\')) {
                argument += QLatin1Char('\\');
            }
            argument += c;
        }
        argument += QLatin1Char('"');
    } else {
        argument = executablePath;
    }

    // String level, undone first by readers: a backslash is written twice. The path has no
    // control characters or "%" (see unfaithfulPath), which would need more.
    return argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}
