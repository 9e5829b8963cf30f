#pragma once

#include "LightStatus.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// Why litra may find no light: one is connected, but its hidraw node is not readable and
// writable by the user. Reads <root>/sys/class/hidraw and <root>/dev, where root is
// $GLOWDECK_DEVICE_ROOT (a fake tree, for tests) or else the system's own.
class LightAccess {
public:
    // After a miss (no lights, or an error): whether a light lacks permission. The devices are
    // looked at again only when the miss or the list of HID devices changed since the last call.
    bool lacksPermissionAfter(const LightStatus& miss);
    // The lights answered: the next miss looks afresh.
    void forget() { seen_.reset(); }

private:
    std::optional<std::pair<LightStatus, QStringList>> seen_;
    bool lacking_ = false;
};

// Whether a HID device's name (HID_NAME, its maker's name and then the product's) is a
// light's: the product pattern matches the name or a part of it that follows a space.
bool isLightName(const QString& hidName);

// The udev rule that Glowdeck ships, where it lies for a binary in `appDir`.
QString shippedUdevRule(const QString& appDir = QCoreApplication::applicationDirPath());
