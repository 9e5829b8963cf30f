#pragma once

#include "../app/RecordingStatusIcon.h"
#include "AppDelegate.h"
#include "ChildProcess.h"
#include "PreferencesForm.h"
#include "TestSupport.h"

#include <QByteArray>
#include <QSignalSpy>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <ostream>

// Readable texts in GoogleTest's failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.left(300).toStdString() << (text.size() > 300 ? "...\"" : "\"");
}

namespace faults {

// The simulator's state: a light that is on at 40 % and 2700 K and one that is off at 100 %
// and 6500 K, which Glowdeck shows as "Lights: Mixed", two devices, 70 %.
QByteArray twoLights();
QByteArray noLights();
// The device report litra prints for twoLights().
QByteArray twoLightsReport();

// Glowdeck as the user has it: the real AppDelegate with a recording tray icon, the real
// Preferences form, a real controller running `litra` from a temporary folder, where it is
// a shell script that runs the light simulator, and the settings file in the temporary home.
class Rig {
public:
    Rig();
    ~Rig();
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    QString path(const QString& name) const { return folder_.dir.filePath(name); }
    // The executable Glowdeck runs.
    QString litra() const { return path(QStringLiteral("litra")); }
    static QString settingsFile();

    // Faults of the simulator, as KEY=VALUE lines it reads on every run.
    void setFaults(const QByteArray& lines);
    // Puts a shell script in the place of litra. Its process ids go to `pids` for the
    // check that no child is left behind.
    void writeLitra(const QByteArray& body);
    // Takes every fault away: no simulator faults, the plain executable back.
    void heal();

    // Creates the delegate and the form and waits for the first refresh.
    [[nodiscard]] bool launch(ProcessLimits limits = {});
    // Destroys the form and the delegate, as the end of main() does.
    void close();

    // What the user does. Each returns once its flow has ended (false when it did not).
    [[nodiscard]] bool chooseRefresh();
    [[nodiscard]] bool leftClick();
    [[nodiscard]] bool dragBrightnessTo(double percentage);
    void choose(const QString& menuTitle);

    // What the user sees.
    QString toolTip() const;
    QString menuStatusLine() const;

    AppDelegate& delegate() { return *delegate_; }
    PreferencesForm& form() { return *form_; }
    AppState& state() { return delegate_->appState(); }
    RecordingStatusIcon& icon() { return *icon_; }

    QByteArray lights() const;
    // The settings file's bytes, or a marker when a folder stands in its place.
    static QByteArray settings();
    qsizetype refreshCount() const { return refreshes_->size(); }
    // The number of simulator runs that have ended, and of litra runs that have started.
    int finishedRuns() const;
    qsizetype startedRuns() const;
    bool anyChildAlive() const;
    // Writes to the state that did not happen on the GUI thread.
    int offThreadWrites() const { return offThreadWrites_; }

private:
    testsupport::SimulatorFolder folder_;
    std::unique_ptr<AppDelegate> delegate_;
    std::unique_ptr<PreferencesForm> form_;
    RecordingStatusIcon* icon_ = nullptr;
    std::unique_ptr<QSignalSpy> refreshes_;
    int offThreadWrites_ = 0;
};

// After a fault is gone: "Refresh", a brightness command and a click are served and show the
// lights as they are, no child is left running, the state was only ever written on the GUI
// thread, and the settings file still holds `settings`.
void expectServedAndSane(Rig& rig, const QByteArray& settings);

}  // namespace faults
