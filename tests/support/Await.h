#pragma once

#include <QCoroTask>

#include <exception>
#include <optional>

namespace testsupport {

// QCoro::waitFor, but a thrown error is rethrown here instead of leaving the nested event loop
// waiting forever.
template <typename T>
T await(QCoro::Task<T> task) {
    std::exception_ptr error;
    if constexpr (std::is_void_v<T>) {
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
    } else {
        auto result = QCoro::waitFor([&]() -> QCoro::Task<std::optional<T>> {
            try {
                co_return co_await task;
            } catch (...) {
                error = std::current_exception();
                co_return std::nullopt;
            }
        }());
        if (error) {
            std::rethrow_exception(error);
        }
        return std::move(*result);
    }
}

}  // namespace testsupport
