#include "PollLoop.h"

#include "Detached.h"

#include <QPointer>

namespace {

// Holds the loop weakly: the task neither keeps it alive nor touches it once it is gone.
QCoro::Task<> pollLoop(QPointer<PollLoop> owner, PollLoop::Refresh* refresh,
                       std::shared_ptr<PollCancellation> cancellation, PollDuration interval) {
    while (!cancellation->isCancelled()) {
        co_await cancellation->sleep(interval);
        if (cancellation->isCancelled()) {
            break;
        }
        if (!owner) {
            continue;
        }
        try {
            co_await (*refresh)();
        } catch (...) {
            reportUnexpected();
        }
    }
}

}  // namespace

struct PollLoop::Task {
    std::shared_ptr<PollCancellation> cancellation;
    QCoro::Task<> loop;
};

PollLoop::PollLoop(Refresh refresh, QObject* parent)
    : QObject(parent), refresh_(std::move(refresh)) {}

PollLoop::~PollLoop() {
    stop();
}

bool PollLoop::isRunning() const {
    return task_ && !task_->loop.isReady();
}

void PollLoop::stop() {
    if (task_) {
        // Hold it: cancelling resumes the loop, which may end and let go of its own share.
        std::shared_ptr<PollCancellation> cancellation = task_->cancellation;
        cancellation->cancel();
    }
}

void PollLoop::start(double intervalSeconds) {
    stop();
    auto cancellation = std::make_shared<PollCancellation>();
    QCoro::Task<> loop = pollLoop(QPointer<PollLoop>(this), &refresh_, cancellation,
                                  pollSleepDuration(intervalSeconds));
    task_ = std::make_unique<Task>(Task{std::move(cancellation), std::move(loop)});
}
