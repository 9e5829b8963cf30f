#include "LoginItemService.h"
#include "TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using testing::AllOf;
using testing::HasSubstr;
using testing::ThrowsMessage;
using testsupport::readFile;
using testsupport::writeFile;
using Status = LoginItemService::Status;

namespace {

class LoginItems : public testing::Test {
protected:
    QString autostart() const { return dir.filePath("config/autostart"); }
    LoginItemService service(const QString& exe = "/usr/bin/glowdeck") const {
        return {autostart(), exe};
    }

    QTemporaryDir dir;
};

TEST_F(LoginItems, EntryIsValidAndStartsTheBinaryWhateverItsPath) {
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    const QString marker = dir.filePath("started");
    for (const QString folder : {"plain", "with space", "\"odd\" $HOME `x` \\ it's"}) {
        QFile::remove(marker);
        const QString exe = testsupport::writeScript(QDir(dir.path()).filePath(folder), "glowdeck",
                                                     "touch '" + marker.toUtf8() + "'\n");
        LoginItemService items = service(exe);
        items.registerItem();
        const QByteArray entry = readFile(items.entryPath());
        // Exec with its string escapes undone, as launchers do (the only one written is "\\"):
        // what remains is quoted the way a POSIX shell reads it.
        const QString exec =
            QString::fromUtf8(entry.mid(entry.indexOf("\nExec=") + 6).split('\n')[0]);
        EXPECT_EQ(QProcess::execute("/bin/sh", {"-c", QString(exec).replace("\\\\", "\\")}), 0)
            << entry.data();
        EXPECT_TRUE(QFileInfo::exists(marker)) << entry.data();
        if (!validator.isEmpty()) {
            EXPECT_EQ(QProcess::execute(validator, {items.entryPath()}), 0) << entry.data();
        }
    }
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

TEST_F(LoginItems, RegisterWritesAtomicallyIntoPrivateFolders) {
    service().registerItem();
    EXPECT_EQ(QFileInfo(dir.filePath("config")).permissions() & 0x0077, 0);
    EXPECT_EQ(QDir(autostart()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"glowdeck.desktop"})
        << "no temporary file is left behind";
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
    writeFile(autostart(), "a file where the folder should be");
    EXPECT_THAT([&] { service().registerItem(); },
                ThrowsMessage<LoginItemError>(
                    AllOf(HasSubstr(autostart().toStdString()), HasSubstr("Not a directory"))));

    QFile::remove(autostart());
    QDir().mkpath(QDir(autostart()).filePath("glowdeck.desktop/inside"));
    for (const auto action : {&LoginItemService::registerItem, &LoginItemService::unregisterItem}) {
        EXPECT_THAT([&] { (service().*action)(); },
                    ThrowsMessage<LoginItemError>(
                        AllOf(HasSubstr("glowdeck.desktop"), HasSubstr("Is a directory"))));
    }
}

}  // namespace
