#pragma once

#include "LitraController.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace settingstest {

// Sets an environment variable for the lifetime of the object, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> previous_;
};

// One simulated light at 40 % (100 of 250 lumen) and 4000 K, range 2700 to 6500 K.
QJsonObject simulatedLight();

// The light simulator with its own state file and run log in a temporary folder.
class Simulator {
public:
    explicit Simulator(const QJsonArray& lights);

    // The one controller of this simulator, as the application has one.
    std::shared_ptr<LitraController> controller();
    // The arguments of every run so far, one string per run.
    QStringList runs() const;
    // The lights as the simulator holds them now.
    QJsonArray lights() const;
    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    ScopedEnv state_;
    ScopedEnv log_;
    std::shared_ptr<LitraController> controller_;
};

}  // namespace settingstest
