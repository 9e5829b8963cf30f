#include "CommandQueue.h"

#include "AppState.h"
#include "LitraController.h"
#include "LitraError.h"

struct CommandQueue::Entry {
    std::optional<LightCommand> command;  // none: a step
    Step step;
    std::vector<Answer> answers;
};

CommandQueue::CommandQueue(AppState* state, ControllerProvider controllerProvider, Refresh refresh,
                           QObject* parent)
    : QObject(parent),
      state_(state),
      controllerProvider_(std::move(controllerProvider)),
      refresh_(std::move(refresh)) {}

CommandQueue::~CommandQueue() {
    *alive_ = false;
}

std::size_t CommandQueue::waiting() const {
    std::size_t count = ran_.size() + runningCallers_;
    for (const Entry& entry : entries_) {
        count += entry.answers.size();
    }
    return count;
}

QString CommandQueue::unavailableReason() const {
    return state_->status().isError() ? state_->status().message()
                                      : QString::fromLatin1(errorText::stillStarting);
}

void CommandQueue::submit(LightCommand command, Answer answer) {
    if (!controller()) {
        if (answer) {
            answer({unavailableReason(), {}});
        }
        return;
    }
    if (answer && waiting() >= capacity) {
        answer({QString::fromLatin1(errorText::tooManyWaiting).arg(capacity), {}, true});
        return;
    }
    if (command.settlesOnLatest()) {
        for (Entry& entry : entries_) {
            if (entry.command && entry.command->kind == command.kind &&
                entry.command->serial == command.serial) {
                entry.command = std::move(command);
                if (answer) {
                    entry.answers.push_back(std::move(answer));
                }
                return;
            }
        }
    }
    entries_.push_back({std::move(command), {}, {}});
    if (answer) {
        entries_.back().answers.push_back(std::move(answer));
    }
    if (!draining_) {
        drain();
    }
}

void CommandQueue::submitStep(Step step) {
    entries_.push_back({std::nullopt, std::move(step), {}});
    if (!draining_) {
        drain();
    }
}

QCoro::Task<std::optional<QString>> CommandQueue::run(Entry& entry, bool& stale) {
    const std::shared_ptr<LitraController> controller = this->controller();
    if (!controller) {
        co_return unavailableReason();
    }
    if (entry.command && entry.command->changesLights()) {
        emit lightsSetByUser();
    }
    std::optional<QString> failure;
    try {
        if (entry.command) {
            co_await runLightCommand(*controller, *entry.command);
        } else {
            co_await entry.step(*controller);
        }
    } catch (...) {
        failure = localizedDescription(std::current_exception());
    }
    stale = controller != this->controller();
    co_return failure;
}

// Runs until nothing waits; what arrives during the closing refresh is run after it.
QCoro::Task<> CommandQueue::drain() {
    const std::shared_ptr<bool> alive = alive_;
    draining_ = true;
    while (!entries_.empty()) {
        bool anyWentThrough = false;
        std::optional<QString> lastFailure;
        while (!entries_.empty()) {
            Entry entry = std::move(entries_.front());
            entries_.pop_front();
            bool stale = false;
            runningCallers_ = entry.answers.size();
            const std::optional<QString> failure = co_await run(entry, stale);
            if (!*alive) {
                co_return;
            }
            runningCallers_ = 0;
            for (Answer& answer : entry.answers) {
                ran_.push_back({std::move(answer), failure.value_or(QString())});
            }
            if (stale) {
                continue;  // what a replaced litra did or said no longer counts
            }
            anyWentThrough = anyWentThrough || !failure;
            lastFailure = failure;
            if (failure) {
                state_->setStatus(LightStatus::error(*failure));
            }
        }
        QString refreshFailure;
        if (anyWentThrough) {
            co_await refresh_();
            if (!*alive) {
                co_return;
            }
            if (lastFailure) {
                state_->setStatus(LightStatus::error(*lastFailure));  // the last word stays shown
            } else if (state_->status().isError()) {
                refreshFailure = state_->status().message();
            }
        }
        for (Ran& done : std::exchange(ran_, {})) {
            done.answer({done.failure, refreshFailure});
        }
    }
    draining_ = false;
    emit drained();
}
