#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <functional>
#include <unistd.h>
#include <vector>

namespace testsupport {

// Writes an executable shell script (the text after "#!/bin/sh\n") and returns its path.
QString writeScript(const QString& dir, const QString& name, const QByteArray& body);

// Writes bytes to a file, creating its folder.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// Spins the event loop until the predicate holds or the time-out passes.
bool waitUntil(const std::function<bool()>& predicate, int timeoutMs = 10000);

// Sets an environment variable (unsets it, for a null value) until the object goes, then puts
// back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& v) : name_(name), previous_(qgetenv(name)) {
        set(v);
    }
    ~ScopedEnv() { set(previous_); }

private:
    void set(const QByteArray& v) const { v.isNull() ? qunsetenv(name_) : qputenv(name_, v); }

    const char* name_;
    const QByteArray previous_;  // null when it was not set
};

// For its scope, checks permissions as user nobody when the tests run as root, who may open any
// file. What it reads must be readable by others.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() { switchTo(65534); }
    ~AsOrdinaryUser() { switchTo(0); }

private:
    void switchTo(uid_t uid) const {
        if (root_ && ::seteuid(uid) != 0) {
            qFatal("cannot switch to user %u", unsigned(uid));
        }
    }
    const bool root_ = ::geteuid() == 0;
};
// How many of the runs in a LITRA_SIM_LOG file began before another one had ended.
int overlappingRuns(const QString& logPath);

// A temporary folder for the simulator's lights.json, faults and runs.log, named to it through
// its environment for as long as the object lives.
struct SimulatorFolder {
    QTemporaryDir dir;
    ScopedEnv state{"LITRA_SIM_STATE", dir.filePath("lights.json").toUtf8()};
    ScopedEnv faults{"LITRA_SIM_FAULTS_FILE", dir.filePath("faults").toUtf8()};
    ScopedEnv log{"LITRA_SIM_LOG", dir.filePath("runs.log").toUtf8()};
};

// One light as litra reports it and the simulator keeps it.
struct Light {
    bool on = false;
    int lumen = 100, minLumen = 20, maxLumen = 250, kelvin = 4000, minKelvin = 2700,
        maxKelvin = 6500;
};

// The lights as litra's device report, a JSON array, with serial numbers T-1, T-2, ... The
// simulator's state file holds it as {"lights": [...]}.
QByteArray lightsJson(const std::vector<Light>& lights);

}  // namespace testsupport
