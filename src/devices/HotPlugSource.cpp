#include "HotPlugSource.h"

#include <QSocketNotifier>

#include <libudev.h>
#include <unistd.h>

#include <cstdio>

namespace {

class UdevHotPlug : public HotPlugSource {
public:
    UdevHotPlug(udev* context, udev_monitor* monitor)
        : context_(context),
          monitor_(monitor),
          notifier_(udev_monitor_get_fd(monitor), QSocketNotifier::Read) {
        connect(&notifier_, &QSocketNotifier::activated, this, &UdevHotPlug::drain);
    }
    ~UdevHotPlug() override {
        udev_monitor_unref(monitor_);
        udev_unref(context_);
    }

private:
    // Everything queued counts as one change.
    void drain() {
        bool any = false;
        while (udev_device* device = udev_monitor_receive_device(monitor_)) {
            udev_device_unref(device);
            any = true;
        }
        if (any) {
            emit devicesChanged();
        }
    }

    udev* context_;
    udev_monitor* monitor_;
    QSocketNotifier notifier_;
};

void noHotPlug(const char* why) {
    std::fprintf(stderr, "Glowdeck: %s; lights plugged in show at the next poll\n", why);
}

}  // namespace

std::unique_ptr<HotPlugSource> hidrawHotPlug() {
    // Without the daemon a monitor opens but never hears anything.
    if (access("/run/udev/control", F_OK) != 0) {
        noHotPlug("udev is not running");
        return nullptr;
    }
    udev* context = udev_new();
    udev_monitor* monitor = context ? udev_monitor_new_from_netlink(context, "udev") : nullptr;
    if (!monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        if (monitor) {
            udev_monitor_unref(monitor);
        }
        if (context) {
            udev_unref(context);
        }
        noHotPlug("cannot listen to udev");
        return nullptr;
    }
    return std::make_unique<UdevHotPlug>(context, monitor);
}
