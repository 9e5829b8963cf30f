#include "LightStore.h"

#include "Support.h"

#include <cstdlib>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void lock(int fd, int operation, const fs::path& lockPath) {
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR)
            throw SimError(kExitFailure,
                           "cannot lock " + lockPath.string() + ": " + errnoText(errno));
    }
}

// The file's bytes, or nothing when it does not exist.
std::optional<std::string> readFile(const fs::path& path) {
    int error = 0;
    auto bytes = readWholeFile(path.c_str(), error);
    if (!bytes && error != ENOENT)
        throw SimError(kExitFailure,
                       "cannot read state file " + path.string() + ": " + errnoText(error));
    return bytes;
}

Json parseState(const std::string& bytes, const fs::path& path) {
    const auto invalid = [&](const std::string& why) {
        return SimError(kExitFailure, "state file " + path.string() + " is not valid: " + why);
    };
    Json document;
    try {
        document = Json::parse(bytes);
    } catch (const Json::parse_error& error) {
        throw invalid(error.what());
    }
    if (!document.is_object() || !document.contains("lights") || !document["lights"].is_array())
        throw invalid("expected an object with a \"lights\" array");
    std::size_t index = 0;
    for (const auto& light : document["lights"]) {
        ++index;
        if (!light.is_object())
            throw invalid("light " + std::to_string(index) + " is not an object");
    }
    return document;
}

Json light(const char* serial, const char* type, int brightness, int kelvin, int minLumen,
           int maxLumen, int minKelvin, int maxKelvin) {
    return Json{{"serial_number", serial},
                {"device_type", type},
                {"is_on", false},
                {"brightness_in_lumen", brightness},
                {"temperature_in_kelvin", kelvin},
                {"minimum_brightness_in_lumen", minLumen},
                {"maximum_brightness_in_lumen", maxLumen},
                {"minimum_temperature_in_kelvin", minKelvin},
                {"maximum_temperature_in_kelvin", maxKelvin}};
}

}  // namespace

fs::path stateFilePath() {
    if (const auto path = env("LITRA_SIM_STATE"); !path.empty())
        return path;
    fs::path stateHome = env("XDG_STATE_HOME");
    if (stateHome.empty() || stateHome.is_relative()) {
        const auto home = env("HOME");
        if (home.empty())
            throw SimError(kExitFailure,
                           "cannot place the state file: none of LITRA_SIM_STATE, XDG_STATE_HOME "
                           "and HOME is set");
        stateHome = fs::path(home) / ".local" / "state";
    }
    return stateHome / "glowdeck" / "simulated-lights.json";
}

Json defaultState() {
    return Json{
        {"lights", Json::array({light("SIM-0001", "Sim Panel", 120, 4500, 20, 250, 2700, 6500),
                                light("SIM-0002", "Sim Bar", 200, 4000, 30, 400, 3000, 6000)})}};
}

LightStore::LightStore(fs::path path, Access access) : path_(std::move(path)), access_(access) {
    if (const auto folder = path_.parent_path(); !folder.empty()) {
        std::error_code error;
        fs::create_directories(folder, error);
        if (error)
            throw SimError(kExitFailure,
                           "cannot create folder " + folder.string() + ": " + error.message());
    }
    const fs::path lockPath = path_.string() + ".lock";
    lockFd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0)
        throw SimError(kExitFailure, "cannot open " + lockPath.string() + ": " + errnoText(errno));
    lock(lockFd_, access_ == Access::read ? LOCK_SH : LOCK_EX, lockPath);
}

LightStore::~LightStore() {
    if (lockFd_ >= 0)
        ::close(lockFd_);  // releases the lock
}

Json LightStore::load() {
    auto bytes = readFile(path_);
    if (!bytes && access_ == Access::read) {
        // Creating the file needs the exclusive lock; another run may create it meanwhile.
        lock(lockFd_, LOCK_EX, path_.string() + ".lock");
        access_ = Access::write;
        bytes = readFile(path_);
    }
    if (!bytes) {
        Json document = defaultState();
        save(document);
        return document;
    }
    return parseState(*bytes, path_);
}

void LightStore::save(const Json& document) {
    std::string temporary = path_.string() + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        throw SimError(kExitFailure, "cannot write state file " + path_.string() +
                                         ": cannot create a temporary file: " + errnoText(errno));
    // No fsync: a simulated light is not worth the wait, and rename() keeps readers safe.
    const bool written = writeAll(fd, document.dump(2) + "\n");
    const int error = errno;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), path_.c_str()) != 0) {
        const int failure = written ? errno : error;
        ::unlink(temporary.c_str());
        throw SimError(kExitFailure,
                       "cannot write state file " + path_.string() + ": " + errnoText(failure));
    }
}
