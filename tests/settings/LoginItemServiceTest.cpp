#include "LoginItemService.h"
#include "SettingsTestSupport.h"
#include "TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using settingstest::ScopedEnv;
using testing::AllOf;
using testing::HasSubstr;
using testing::ThrowsMessage;
using testsupport::readFile;
using testsupport::writeFile;
using Status = LoginItemService::Status;

namespace {

// Undoes the string escapes of a desktop entry value and the %% escape, as launchers do; what
// remains is quoted the way a POSIX shell reads it.
QString commandLineOf(const QString& exec) {
    QString out;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec[i] == '\\' && i + 1 < exec.size()) {
            const QChar next = exec[++i];
            out += next == 'n' ? QChar('\n') : next == 't' ? QChar('\t') : next;
        } else if (exec[i] == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
            out += exec[++i];
        } else {
            out += exec[i];
        }
    }
    return out;
}

class LoginItems : public testing::Test {
protected:
    QString autostart() const { return dir.filePath("config/autostart"); }
    LoginItemService service(const QString& exe = "/usr/bin/glowdeck") const {
        return {autostart(), exe};
    }

    QTemporaryDir dir;
};

TEST_F(LoginItems, ExecLineStartsTheBinaryWhateverItsPath) {
    for (const QString folder : {"plain", "with space", "\"odd\" $HOME `x` \\ it's"}) {
        const QString marker = dir.filePath("started");
        QFile::remove(marker);
        const QString exe = testsupport::writeScript(QDir(dir.path()).filePath(folder), "glowdeck",
                                                     "touch '" + marker.toUtf8() + "'\n");
        LoginItemService items = service(exe);
        items.registerItem();
        QString exec;
        for (const QByteArray& line : readFile(items.entryPath()).split('\n')) {
            if (line.startsWith("Exec=")) {
                exec = QString::fromUtf8(line.mid(5));
            }
        }
        EXPECT_EQ(QProcess::execute("/bin/sh", {"-c", commandLineOf(exec)}), 0)
            << exec.toStdString();
        EXPECT_TRUE(QFileInfo::exists(marker)) << exec.toStdString();
    }
}

TEST_F(LoginItems, WritesAValidDesktopEntry) {
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty()) {
        GTEST_SKIP() << "desktop-file-validate is not installed";
    }
    LoginItemService items = service("/opt/My Apps/glowdeck");
    items.registerItem();
    QProcess check;
    check.start(validator, {items.entryPath()});
    ASSERT_TRUE(check.waitForFinished());
    EXPECT_EQ(check.exitCode(), 0);
    EXPECT_EQ(check.readAllStandardOutput().trimmed(), "");
}

TEST_F(LoginItems, PathThatAnEntryCannotCarryIsRefusedWithTheReason) {
    const std::pair<QString, const char*> paths[] = {
        {QFile::decodeName("/opt/caf\xe9/glowdeck"), "UTF-8"},
        {"/opt/new\nline/glowdeck", "control character"},
        {"/opt/100%/glowdeck", "\"%\""},
    };
    for (const auto& [path, reason] : paths) {
        EXPECT_THAT(
            [&] { service(path).registerItem(); },
            ThrowsMessage<LoginItemError>(AllOf(HasSubstr(path.toStdString()), HasSubstr(reason))));
        EXPECT_EQ(service(path).status(), Status::notRegistered);
    }
}

TEST_F(LoginItems, RegisterCreatesPrivateFoldersAndUnregisterRemoves) {
    LoginItemService items = service();
    EXPECT_EQ(items.status(), Status::notRegistered);
    items.registerItem();
    EXPECT_EQ(items.status(), Status::enabled);
    EXPECT_EQ(QFileInfo(dir.filePath("config")).permissions() & 0x0077, 0);
    EXPECT_EQ(QDir(autostart()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"glowdeck.desktop"})
        << "no temporary file is left behind";
    items.unregisterItem();
    EXPECT_EQ(items.status(), Status::notRegistered);
}

TEST_F(LoginItems, LinkedEntryIsReplacedOrRemovedNeverItsTarget) {
    LoginItemService items = service();
    const QString target = dir.filePath("dotfiles/glowdeck.desktop");
    const char* kept = "[Desktop Entry]\nHidden=true\n";
    QDir().mkpath(dir.filePath("dotfiles"));
    QDir().mkpath(autostart());
    for (const bool dangling : {true, false}) {
        if (!dangling) {
            writeFile(target, kept);
        }
        QFile::remove(items.entryPath());
        ASSERT_TRUE(QFile::link(target, items.entryPath()));
        items.registerItem();
        EXPECT_FALSE(QFileInfo(items.entryPath()).isSymLink());
        EXPECT_EQ(QFileInfo::exists(target) ? readFile(target).toStdString() : "none",
                  dangling ? "none" : kept);
    }
    QFile::remove(items.entryPath());
    ASSERT_TRUE(QFile::link(target, items.entryPath()));
    items.unregisterItem();
    EXPECT_FALSE(QFileInfo(items.entryPath()).isSymLink());
    EXPECT_EQ(readFile(target), kept);
}

TEST_F(LoginItems, HiddenOrDisabledEntryIsNotEnabledUntilRegistered) {
    const std::pair<QByteArray, Status> entries[] = {
        {"[Desktop Entry]\nExec=glowdeck\n", Status::enabled},
        {"[Desktop Entry]\nHidden = true\n", Status::disabled},
        {"[Desktop Entry]\nHidden=false\n", Status::enabled},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", Status::disabled},
        {"[Desktop Entry]\n[Desktop Action x]\nHidden=true\n", Status::enabled},
    };
    LoginItemService items = service();
    for (const auto& [entry, status] : entries) {
        writeFile(items.entryPath(), entry);
        EXPECT_EQ(items.status(), status) << entry.toStdString();
    }
    writeFile(items.entryPath(), "[Desktop Entry]\nHidden=true\n");
    items.registerItem();
    EXPECT_EQ(items.status(), Status::enabled);
}

// Made to fail by the file system's shape rather than by permissions, which root ignores.
TEST_F(LoginItems, FailuresNameTheFileAndTheSystemsReason) {
    const auto failure = [](auto action) {
        try {
            action();
        } catch (const LoginItemError& error) {
            return error.localizedDescription();
        }
        return QStringLiteral("<no failure>");
    };
    writeFile(autostart(), "a file where the folder should be");
    const QString notAFolder = failure([&] { service().registerItem(); });
    EXPECT_TRUE(notAFolder.contains(autostart()) && notAFolder.contains("Not a directory"))
        << notAFolder.toStdString();

    QFile::remove(autostart());
    QDir().mkpath(QDir(autostart()).filePath("glowdeck.desktop/inside"));
    const QString overFolder = failure([&] { service().registerItem(); });
    EXPECT_TRUE(overFolder.contains("glowdeck.desktop")) << overFolder.toStdString();
    const QString removeFolder = failure([&] { service().unregisterItem(); });
    EXPECT_TRUE(removeFolder.contains("Is a directory")) << removeFolder.toStdString();
}

TEST(MainAppService, FollowsXdgConfigHomeAndStartsThisBinary) {
    QTemporaryDir dir;
    {
        ScopedEnv config("XDG_CONFIG_HOME", dir.filePath("elsewhere").toUtf8());
        const LoginItemService items = LoginItemService::mainAppService();
        EXPECT_EQ(items.entryPath(), dir.filePath("elsewhere/autostart/glowdeck.desktop"));
        EXPECT_EQ(items.executablePath(), QCoreApplication::applicationFilePath());
    }
    for (const QByteArray& unusable : {QByteArray(), QByteArray("relative/config")}) {
        ScopedEnv config("XDG_CONFIG_HOME", unusable);
        EXPECT_EQ(LoginItemService::defaultAutostartDirectory(),
                  QDir::homePath() + "/.config/autostart");
    }
}

}  // namespace
