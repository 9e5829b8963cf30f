#pragma once

#include <QObject>

#include <memory>

// Tells when lights may have come or gone. This base sends nothing by itself: a test emits its
// signal, and hidrawHotPlug() is the source of the running app.
class HotPlugSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // One or more devices were added or removed; sent once for what arrived together.
    void devicesChanged();
};

// hidraw devices added and removed, from a udev monitor. None, after one line on stderr, when
// udev cannot be listened to: polling alone then sees new lights.
std::unique_ptr<HotPlugSource> hidrawHotPlug();
