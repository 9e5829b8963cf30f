#pragma once

#include "WheelSteps.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class AppState;
class CommandQueue;

// Turns of the wheel over the icon become brightness or temperature commands for the lights
// chosen in Preferences ("Apply to"). Notches in quick succession add up to one command with
// the final value; the value is there to show at once, until the refresh after it.
class WheelAdjuster : public QObject {
    Q_OBJECT
public:
    // The serial number of the light that Preferences applies to; empty for every light.
    using Target = std::function<QString()>;

    // `state` and `commands` must outlive the adjuster.
    WheelAdjuster(AppState* state, CommandQueue* commands, Target target,
                  QObject* parent = nullptr);

    void turn(WheelTurn turn);
    // "Brightness: 55 %" or "Temperature: 4600 K" while a turned value is on its way to the
    // lights; empty otherwise.
    QString pendingText() const;

signals:
    void pendingChanged();

private:
    struct Pending {
        bool temperature = false;
        qint64 value = 0;
        QString serial;
    };
    std::optional<double> current(bool temperature, const QString& serial) const;
    void send();

    AppState* state_;
    CommandQueue* commands_;
    Target target_;
    QTimer gather_;
    std::optional<Pending> pending_;
    // Commands sent and not yet answered; the last answer clears what is shown.
    int unanswered_ = 0;
};
