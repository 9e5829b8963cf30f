#pragma once

#include "PollSleep.h"

#include <QCoroTask>
#include <QObject>

#include <functional>
#include <memory>

// Refreshes the lights on the poll interval: sleeps, refreshes, and again, until stopped.
class PollLoop : public QObject {
    Q_OBJECT
public:
    using Refresh = std::function<QCoro::Task<>()>;

    explicit PollLoop(Refresh refresh, QObject* parent = nullptr);
    // Lets a sleeping loop end now instead of sleeping on after the loop is gone.
    ~PollLoop() override;

    // Stops a running loop and starts one that sleeps `intervalSeconds` between refreshes.
    void start(double intervalSeconds);
    // Ends a sleep at once; a refresh under way finishes, and the loop ends after it.
    void stop();
    // Whether the loop's task is still running: a stopped loop ends at its next check.
    bool isRunning() const;

private:
    struct Task;
    Refresh refresh_;
    std::unique_ptr<Task> task_;
};
