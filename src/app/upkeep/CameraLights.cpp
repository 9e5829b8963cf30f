#include "CameraLights.h"

#include "AppState.h"
#include "CameraWatcher.h"
#include "CommandQueue.h"
#include "LitraController.h"
#include "LitraError.h"

#include <QPointer>

CameraLights::CameraLights(AppState& state, CommandQueue& commands, const QString& folder,
                           CameraFollow::Timing timing, QObject* parent)
    : QObject(parent), state_(state), commands_(commands), folder_(folder), timing_(timing) {
    state_.setCameraUnavailable(CameraWatcher::unavailable(folder_));
    connect(&state_, &AppState::changed, this, &CameraLights::followSetting);
    connect(&commands_, &CommandQueue::lightsSetByUser, this, [this] {
        if (watcher_) {
            watcher_->follow().userChangedLights();
        }
    });
    followSetting();
}

CameraLights::~CameraLights() = default;

// Follows the option, and whether the cameras can be followed at all.
void CameraLights::followSetting() {
    const bool wanted = state_.followCamera() && !state_.cameraUnavailable();
    if (wanted == bool(watcher_)) {
        return;
    }
    watcher_.reset();
    if (wanted) {
        try {
            watcher_ = std::make_unique<CameraWatcher>(folder_, timing_);
            connect(watcher_.get(), &CameraWatcher::began, this, &CameraLights::began);
            connect(watcher_.get(), &CameraWatcher::ended, this, &CameraLights::ended);
        } catch (...) {
            state_.setCameraUnavailable(localizedDescription(std::current_exception()));
            return;
        }
    }
    if (state_.cameraInUse()) {
        state_.setCameraInUse(false);
    }
}

void CameraLights::began() {
    state_.setCameraInUse(true);
    commands_.submitStep(
        [self = QPointer<CameraLights>(this)](LitraController& controller) -> QCoro::Task<> {
            const std::vector<LitraDevice> before = co_await controller.devices();
            co_await controller.on();
            if (self && self->watcher_) {
                self->watcher_->follow().remember(CameraFollow::switchOffFor(before));
            }
        });
}

void CameraLights::ended() {
    state_.setCameraInUse(false);
    std::vector<QString> switchOff = watcher_->follow().switchOffAtEnd();
    if (switchOff.empty()) {
        return;
    }
    commands_.submitStep(
        [switchOff = std::move(switchOff)](LitraController& controller) -> QCoro::Task<> {
            for (const QString& serial : switchOff) {
                co_await controller.off(serial);
            }
        });
}
