#pragma once

#include <QCoroTask>

#include <exception>
#include <string>

// The light simulator beside the benchmark (bin/resources/litra), as Glowdeck finds it.
std::string simulatorPath();

// Runs the task to its end in a nested event loop; rethrows what it threw.
template <typename T>
void awaitTask(QCoro::Task<T> task) {
    std::exception_ptr error;
    QCoro::waitFor([&]() -> QCoro::Task<> {
        try {
            co_await task;
        } catch (...) {
            error = std::current_exception();
        }
    }());
    if (error) {
        std::rethrow_exception(error);
    }
}

// The readable message of a caught exception, for SkipWithError.
std::string describe(const std::exception_ptr& error);
