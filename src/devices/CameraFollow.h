#pragma once

#include "LitraDevice.h"

#include <QString>

#include <chrono>
#include <optional>
#include <vector>

// When a camera counts as in use and what to put back afterwards, from holder counts taken at
// given moments. No I/O and no clock of its own: CameraWatcher feeds it.
class CameraFollow {
public:
    using Clock = std::chrono::steady_clock;
    struct Timing {
        // How long a camera stays open before it counts: browsers and PipeWire open cameras
        // briefly to list them.
        std::chrono::milliseconds settle{1000};
        // How long the last holder stays gone before the call counts as over.
        std::chrono::milliseconds grace{3000};
    };
    enum class Step { none, began, ended };

    CameraFollow() : CameraFollow(Timing{}) {}
    explicit CameraFollow(Timing timing) : timing_(timing) {}

    // The number of processes holding a camera at `now`; call it on every event and at
    // deadline().
    Step update(int holders, Clock::time_point now);
    // When update() must be called again even if nothing happens; none while nothing is pending.
    std::optional<Clock::time_point> deadline() const;
    bool inUse() const { return inUse_; }

    // What switching the lights on changed: the serial numbers of the lights to switch off when
    // the call ends, an empty one for all lights. Taken after a successful switch on, unless
    // the user has set the lights since the call began.
    void remember(std::vector<QString> switchOff);
    // The user set the lights; during a call they are then left as the user set them.
    void userChangedLights();
    // What the call that just ended leaves to switch off.
    const std::vector<QString>& switchOffAtEnd() const { return switchOff_; }

    // The lights to switch off to put back `before` once all are on: per light by serial
    // number; without serial numbers, all of them only when all were off.
    static std::vector<QString> switchOffFor(const std::vector<LitraDevice>& before);

private:
    Timing timing_;
    bool inUse_ = false;
    std::optional<Clock::time_point> openSince_;
    std::optional<Clock::time_point> closedSince_;
    std::vector<QString> switchOff_;
    bool userChanged_ = false;
};
