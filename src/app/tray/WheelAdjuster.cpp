#include "WheelAdjuster.h"

#include "AppState.h"
#include "CommandQueue.h"

#include <QPointer>

namespace {

// Notches closer together than this are one turn.
constexpr auto gatherTime = std::chrono::milliseconds(200);

}  // namespace

WheelAdjuster::WheelAdjuster(AppState* state, CommandQueue* commands, Target target,
                             QObject* parent)
    : QObject(parent), state_(state), commands_(commands), target_(std::move(target)) {
    gather_.setSingleShot(true);
    gather_.setInterval(gatherTime);
    connect(&gather_, &QTimer::timeout, this, &WheelAdjuster::send);
}

void WheelAdjuster::turn(WheelTurn turn) {
    if (turn.notches == 0 || state_->lights().empty()) {
        return;
    }
    const QString serial = target_();
    // A turn of the other kind, or for another light, sends what was gathered first.
    if (pending_ && (pending_->temperature != turn.temperature || pending_->serial != serial) &&
        gather_.isActive()) {
        gather_.stop();
        send();
    }
    const bool continues = pending_ && pending_->temperature == turn.temperature &&
                           pending_->serial == serial;
    const std::optional<double> from =
        continues ? std::optional<double>(pending_->value) : current(turn.temperature, serial);
    const std::optional<qint64> to =
        turn.temperature ? temperatureAfter(from, turn.notches, state_->temperatureRange())
                         : brightnessAfter(from, turn.notches);
    if (!to) {
        return;
    }
    pending_ = Pending{turn.temperature, *to, serial};
    gather_.start();
    emit pendingChanged();
}

std::optional<double> WheelAdjuster::current(bool temperature, const QString& serial) const {
    if (serial.isEmpty()) {
        return temperature ? state_->temperatureKelvin() : state_->brightnessPercentage();
    }
    for (const LitraDevice& light : state_->lights()) {
        if (light.serial_number == serial) {
            if (temperature) {
                return light.temperature_in_kelvin ? std::optional<double>(
                                                         *light.temperature_in_kelvin)
                                                   : std::nullopt;
            }
            return light.brightnessPercentage();
        }
    }
    return std::nullopt;
}

void WheelAdjuster::send() {
    if (!pending_) {
        return;
    }
    const Pending sent = *pending_;
    ++unanswered_;
    QPointer<WheelAdjuster> self(this);
    commands_->submit(sent.temperature ? LightCommand::temperature(sent.value, sent.serial)
                                       : LightCommand::brightness(sent.value, sent.serial),
                      [self](const CommandOutcome&) {
                          if (self && --self->unanswered_ == 0 && !self->gather_.isActive()) {
                              self->pending_.reset();
                              emit self->pendingChanged();
                          }
                      });
}

QString WheelAdjuster::pendingText() const {
    if (!pending_) {
        return {};
    }
    return pending_->temperature ? tr("Temperature: %1 K").arg(pending_->value)
                                 : tr("Brightness: %1 %").arg(pending_->value);
}
