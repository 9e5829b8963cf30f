#pragma once

#include <QCoreApplication>
#include <QCoroTask>

namespace testsupport {

// Runs the event loop until the task ends, then hands out its value or rethrows what it threw.
// (QCoro::waitFor would wait forever for a task that throws.) Header-only: the benchmarks use it.
template <typename T>
T await(QCoro::Task<T> task) {
    while (!task.isReady()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return task.operator co_await().await_resume();
}

}  // namespace testsupport
