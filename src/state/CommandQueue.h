#pragma once

#include "LightCommand.h"

#include <QCoroTask>
#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AppState;
class LitraController;

// How a command went: its own failure, and the failure of the refresh after it; empty when
// it went through.
struct CommandOutcome {
    QString commandFailure;
    QString refreshFailure;
    bool refused = false;  // too many were waiting: it did not run
    // The one to report: the command's own, else the refresh's.
    const QString& failure() const {
        return commandFailure.isEmpty() ? refreshFailure : commandFailure;
    }
};

// The one way to the lights for every command. Commands run one after the other; a failure
// becomes the status; once the queue has drained, one refresh shows what they did. Each caller
// is answered when its own command has run and that refresh has been folded in.
//
// At most `capacity` callers wait for an answer at a time; beyond that a caller is answered at
// once with an error and nothing runs. A command given without an answer (a click) is not
// refused. A waiting brightness or temperature for the same light takes the
// newer value instead of running every step.
class CommandQueue : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t capacity = 32;

    using Answer = std::function<void(const CommandOutcome& outcome)>;
    using ControllerProvider = std::function<std::shared_ptr<LitraController>()>;
    using Refresh = std::function<QCoro::Task<>()>;
    // Work of Glowdeck's own that is not the user's choice (following a camera).
    using Step = std::function<QCoro::Task<>(LitraController&)>;

    // `state` must outlive the queue.
    CommandQueue(AppState* state, ControllerProvider controllerProvider, Refresh refresh,
                 QObject* parent = nullptr);
    ~CommandQueue() override;

    // The controller in use now; none when there is none to run commands with.
    std::shared_ptr<LitraController> controller() const { return controllerProvider_(); }

    // A command the user gave; `answer` may be empty.
    void submit(LightCommand command, Answer answer = {});
    // Always taken, never noted as the user's.
    void submitStep(Step step);

signals:
    // A command of the user's is about to run.
    void lightsSetByUser();
    // Everything submitted has run and every caller has been answered.
    void drained();

private:
    struct Entry;
    struct Ran {
        Answer answer;
        QString failure;
    };

    QCoro::Task<> drain();
    // Runs one entry; yields its failure, none when it went through. Sets `stale` when the
    // controller was replaced meanwhile.
    QCoro::Task<std::optional<QString>> run(Entry& entry, bool& stale);
    std::size_t waiting() const;
    QString unavailableReason() const;

    AppState* state_;
    ControllerProvider controllerProvider_;
    Refresh refresh_;
    std::deque<Entry> entries_;
    std::size_t runningCallers_ = 0;
    std::vector<Ran> ran_;
    bool draining_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
