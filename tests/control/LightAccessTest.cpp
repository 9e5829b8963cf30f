// The permission check on a fake sysfs and /dev tree.
#include "LightAccess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// All as user nobody, for whom a node of mode 0 is closed: root may open any.
TEST(LightAccess, OnlyALightTheUserCannotOpenCountsAndOnlyAChangeLooksAgain) {
    QTemporaryDir root;
    QFile::setPermissions(root.path(), QFileDevice::Permissions(0x7777));  // rwxrwxrwx
    testsupport::ScopedEnv seam("GLOWDECK_DEVICE_ROOT", root.path().toUtf8());
    const testsupport::AsOrdinaryUser user;
    const auto plug = [&](const QString& node, const QByteArray& name, int mode) {
        testsupport::writeFile(root.filePath("sys/class/hidraw/" + node + "/device/uevent"),
                               "HID_ID=0003:0000:0000\nHID_NAME=" + name + "\n");
        testsupport::writeFile(root.filePath("dev/" + node), "");
        QFile::setPermissions(root.filePath("dev/" + node), QFileDevice::Permissions(mode));
    };
    LightAccess access;
    const LightStatus none = LightStatus::noDevices();
    EXPECT_FALSE(access.lacksPermissionAfter(none)) << "no device";
    plug("hidraw0", "Acme Keyboard", 0);
    EXPECT_FALSE(access.lacksPermissionAfter(none)) << "another device closed";
    plug("hidraw1", "Logitech Litra Glow", 0x6666);  // rw-rw-rw-
    EXPECT_FALSE(access.lacksPermissionAfter(none)) << "a light open";
    plug("hidraw2", "Litra Beam", 0);
    EXPECT_TRUE(access.lacksPermissionAfter(none)) << "a light closed";
    QFile::setPermissions(root.filePath("dev/hidraw2"), QFileDevice::Permissions(0x6666));
    EXPECT_TRUE(access.lacksPermissionAfter(none)) << "the same miss and devices: no new look";
    EXPECT_FALSE(access.lacksPermissionAfter(LightStatus::error("litra exited 1: busy")))
        << "a new miss looks again";
}

}  // namespace
