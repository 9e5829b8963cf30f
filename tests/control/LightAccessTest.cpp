// The permission check on fake sysfs and /dev trees.
#include "LightAccess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

struct Device {
    const char* node;
    const char* name;  // HID_NAME
    QFile::Permissions dev;
};

constexpr QFile::Permissions denied = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions granted =
    denied | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;

class Access : public testing::Test {
protected:
    void SetUp() override {
        QFile::setPermissions(root.path(),
                              granted | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    }
    void plug(const Device& d) {
        testsupport::writeFile(
            root.filePath(QString("sys/class/hidraw/%1/device/uevent").arg(d.node)),
            QByteArray("HID_ID=0003:0000:0000\nHID_NAME=") + d.name + "\n");
        testsupport::writeFile(root.filePath(QString("dev/") + d.node), {});
        QFile::setPermissions(root.filePath(QString("dev/") + d.node), d.dev);
    }
    bool lacking(const LightStatus& miss = LightStatus::noDevices()) {
        const testsupport::AsOrdinaryUser user;
        return access.lacksPermissionAfter(miss);
    }

    QTemporaryDir root;
    testsupport::ScopedEnv seam{"GLOWDECK_DEVICE_ROOT", root.path().toUtf8()};
    LightAccess access;
};

TEST_F(Access, OnlyALightsNodeTheUserCannotOpenCounts) {
    const struct {
        const char* what;
        std::vector<Device> devices;
        bool lacking;
    } cases[] = {
        {"a light's node unreadable", {{"hidraw0", "Logitech Litra Glow", denied}}, true},
        {"a light fine", {{"hidraw0", "Logitech Litra Glow", granted}}, false},
        {"no light", {}, false},
        {"another device unreadable",
         {{"hidraw0", "Acme Keyboard", denied}, {"hidraw1", "Litra Beam", granted}},
         false},
    };
    for (const auto& c : cases) {
        QDir(root.path()).removeRecursively();
        QDir().mkpath(root.path());
        for (const Device& d : c.devices) {
            plug(d);
        }
        access.forget();
        EXPECT_EQ(lacking(), c.lacking) << c.what;
    }
}

TEST_F(Access, LooksAgainOnlyWhenTheMissOrTheDevicesChanged) {
    plug({"hidraw0", "Logitech Litra Glow", denied});
    EXPECT_TRUE(lacking());
    QFile::setPermissions(root.filePath("dev/hidraw0"), granted);
    EXPECT_TRUE(lacking()) << "the same miss with the same devices: no new look";
    EXPECT_FALSE(lacking(LightStatus::error("litra exited 1: busy")));
    QFile::setPermissions(root.filePath("dev/hidraw0"), denied);
    plug({"hidraw1", "Acme Mouse", granted});
    EXPECT_TRUE(lacking(LightStatus::error("litra exited 1: busy")));
}

}  // namespace
