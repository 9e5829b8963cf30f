// The permission check on a fake sysfs and /dev tree.
#include "LightAccess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(LightAccess, OnlyALightTheUserCannotOpenCountsAndOnlyAChangeLooksAgain) {
    QTemporaryDir root;
    QFile::setPermissions(root.path(), QFileDevice::Permissions(0x7777));  // rwxrwxrwx
    testsupport::ScopedEnv seam("GLOWDECK_DEVICE_ROOT", root.path().toUtf8());
    const auto plug = [&](const QString& node, const QByteArray& name, int mode) {
        testsupport::writeFile(root.filePath("sys/class/hidraw/" + node + "/device/uevent"),
                               "HID_ID=0003:0000:0000\nHID_NAME=" + name + "\n");
        testsupport::writeFile(root.filePath("dev/" + node), "");
        QFile::setPermissions(root.filePath("dev/" + node), QFileDevice::Permissions(mode));
    };
    LightAccess access;
    const auto lacking = [&](const LightStatus& miss = LightStatus::noDevices()) {
        const testsupport::AsOrdinaryUser user;
        return access.lacksPermissionAfter(miss);
    };
    EXPECT_FALSE(lacking()) << "no device";
    plug("hidraw0", "Acme Keyboard", 0x6600);  // rw-------
    EXPECT_FALSE(lacking()) << "another device unreadable";
    plug("hidraw1", "Logitech Litra Glow", 0x6666);  // rw-rw-rw-
    EXPECT_FALSE(lacking()) << "a light fine";
    plug("hidraw2", "Litra Beam", 0x6600);
    EXPECT_TRUE(lacking()) << "a light's node unreadable";
    QFile::setPermissions(root.filePath("dev/hidraw2"), QFileDevice::Permissions(0x6666));
    EXPECT_TRUE(lacking()) << "the same miss and devices: no new look";
    EXPECT_FALSE(lacking(LightStatus::error("litra exited 1: busy"))) << "a new miss looks again";
}

}  // namespace
