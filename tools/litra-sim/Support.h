#pragma once

#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>

// Exit statuses of the simulator.
inline constexpr int kExitFailure = 1;  // the command could not be carried out
inline constexpr int kExitUsage = 2;    // bad arguments or fault settings

// A failure that ends the run: its message becomes the one line on standard error.
struct SimError : std::runtime_error {
    SimError(int status, const std::string& message)
        : std::runtime_error(message), status(status) {}
    int status;
};

inline std::string errnoText(int error) {
    return std::strerror(error);
}

// Writes all bytes, retrying short writes; returns false with errno set on failure.
inline bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The whole file, or nothing with `error` set to the errno of the failure (ENOENT: no file).
inline std::optional<std::string> readWholeFile(const char* path, int& error) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    std::string bytes;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = errno;
            ::close(fd);
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}
