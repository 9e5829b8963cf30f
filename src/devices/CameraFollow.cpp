#include "CameraFollow.h"

#include <algorithm>

CameraFollow::Step CameraFollow::update(int holders, Clock::time_point now) {
    if (!inUse_) {
        if (holders <= 0) {
            openSince_.reset();  // a probe that ended before it counted
            return Step::none;
        }
        if (!openSince_) {
            openSince_ = now;
        }
        if (now - *openSince_ < timing_.settle) {
            return Step::none;
        }
        openSince_.reset();
        inUse_ = true;
        switchOff_.clear();
        userChanged_ = false;
        return Step::began;
    }
    if (holders > 0) {
        closedSince_.reset();
        return Step::none;
    }
    if (!closedSince_) {
        closedSince_ = now;
    }
    if (now - *closedSince_ < timing_.grace) {
        return Step::none;
    }
    closedSince_.reset();
    inUse_ = false;
    return Step::ended;
}

std::optional<CameraFollow::Clock::time_point> CameraFollow::deadline() const {
    if (openSince_) {
        return *openSince_ + timing_.settle;
    }
    if (closedSince_) {
        return *closedSince_ + timing_.grace;
    }
    return std::nullopt;
}

void CameraFollow::remember(std::vector<QString> switchOff) {
    if (inUse_ && !userChanged_) {
        switchOff_ = std::move(switchOff);
    }
}

void CameraFollow::userChangedLights() {
    if (inUse_) {
        userChanged_ = true;
        switchOff_.clear();
    }
}

std::vector<QString> CameraFollow::switchOffFor(const std::vector<LitraDevice>& before) {
    const bool allNamed = std::all_of(before.begin(), before.end(), [](const LitraDevice& light) {
        return light.serial_number && !light.serial_number->isEmpty();
    });
    std::vector<QString> off;
    if (!allNamed) {
        const bool allOff = std::all_of(before.begin(), before.end(), [](const LitraDevice& light) {
            return light.is_on == false;
        });
        if (allOff && !before.empty()) {
            off.push_back(QString());
        }
        return off;
    }
    for (const LitraDevice& light : before) {
        if (light.is_on == false) {  // one that may be on is left on
            off.push_back(*light.serial_number);
        }
    }
    return off;
}
