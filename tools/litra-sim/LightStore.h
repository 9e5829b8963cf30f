#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>

using Json = nlohmann::ordered_json;

// Where the simulated lights live: $LITRA_SIM_STATE, else
// $XDG_STATE_HOME/glowdeck/simulated-lights.json with XDG_STATE_HOME defaulting to ~/.local/state.
std::filesystem::path stateFilePath();

// The two lights a fresh state file starts with.
Json defaultState();

// The state file, locked for the life of the object through "<state>.lock" beside it: shared
// for reading, exclusive for read-modify-write. Writes go to a temporary file in the same
// folder that is renamed over the old one, so readers never see half a file.
class LightStore {
public:
    enum class Access { read, write };

    LightStore(std::filesystem::path path, Access access);
    ~LightStore();
    LightStore(const LightStore&) = delete;
    LightStore& operator=(const LightStore&) = delete;

    // The whole document, an object with a "lights" array of objects. A missing file is created
    // with defaultState(); a file that is not such a document is an error and left untouched.
    Json load();
    void save(const Json& document);

private:
    std::filesystem::path path_;
    int lockFd_ = -1;
    Access access_;
};
