#pragma once

#include <QCoroTask>

#include <utility>

// What escapes a task that nobody awaits would vanish; the flows turn the failures they expect
// into a status, so anything reaching here is unforeseen and at least leaves a trace.
void reportUnexpected();

// Runs a flow that nobody awaits.
template <typename T>
QCoro::Task<> detached(QCoro::Task<T> flow) {
    try {
        co_await std::move(flow);
    } catch (...) {
        reportUnexpected();
    }
}
