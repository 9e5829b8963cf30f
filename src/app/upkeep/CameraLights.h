#pragma once

#include "CameraFollow.h"

#include <QObject>
#include <QString>

#include <memory>

class AppState;
class CameraWatcher;
class CommandQueue;

// Switches the lights on while a camera is in use, when the option says so, and puts back what
// that changed once the call is over, unless the user set the lights meanwhile. Watches the
// cameras only while the option is on and they can be followed; the steps go through the
// command queue like every other command.
class CameraLights : public QObject {
    Q_OBJECT
public:
    // Notes in `state` whether the cameras of `folder` (/dev in the app) can be followed, and
    // follows the option from then on. `state` and `commands` must outlive it.
    CameraLights(AppState& state, CommandQueue& commands, const QString& folder,
                 CameraFollow::Timing timing, QObject* parent = nullptr);
    ~CameraLights() override;

private:
    void followSetting();
    void began();
    void ended();

    AppState& state_;
    CommandQueue& commands_;
    QString folder_;
    CameraFollow::Timing timing_;
    std::unique_ptr<CameraWatcher> watcher_;
};
