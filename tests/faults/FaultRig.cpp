#include "FaultRig.h"

#include "LitraController.h"
#include "StatusMenu.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QSettings>
#include <QThread>

using testsupport::readFile;
using testsupport::waitUntil;
using testsupport::writeFile;

namespace faults {

QByteArray twoLightsReport() {
    return testsupport::lightsJson({{.on = true, .lumen = 100, .kelvin = 2700},
                                    {.lumen = 250, .kelvin = 6500, .minKelvin = 3000, .maxKelvin = 6000}});
}

QByteArray twoLights() {
    return "{\"lights\":" + twoLightsReport() + "}\n";
}

QByteArray noLights() {
    return "{\"lights\":[]}\n";
}

Rig::Rig() {
    writeFile(path("lights.json"), twoLights());
    heal();
    // A long interval keeps the polling loop out of the way; the other group stands for
    // what the Preferences window keeps in the same file.
    QDir(settingsFile()).removeRecursively();
    writeFile(settingsFile(),
              "[General]\npollIntervalSeconds=3600\n\n[GlowdeckPreferences]\ngeometry=kept\n");
}

Rig::~Rig() {
    close();
}

QString Rig::settingsFile() {
    // Asked once: every QSettings made on the file also writes what is pending for it.
    static const QString file =
        QSettings(QStringLiteral("Glowdeck"), QStringLiteral("Glowdeck")).fileName();
    return file;
}

void Rig::setFaults(const QByteArray& lines) {
    writeFile(path("faults"), lines);
}

void Rig::writeLitra(const QByteArray& body) {
    QFile::remove(litra());
    // Runs in the rig's folder, so that scripts name its files plainly.
    testsupport::writeScript(folder_.dir.path(), QStringLiteral("litra"),
                             "cd '" + folder_.dir.path().toUtf8() + "'\necho $$ >> pids\n" + body);
}

void Rig::heal() {
    QFile::remove(path("faults"));
    writeLitra("exec '" GLOWDECK_SIMULATOR "' \"$@\"\n");
}

bool Rig::launch(ProcessLimits limits) {
    const QString binary = litra();
    delegate_ = std::make_unique<AppDelegate>(
        [binary, limits] { return std::make_shared<LitraController>(binary, limits); },
        [this] {
            auto made = std::make_unique<RecordingStatusIcon>();
            icon_ = made.get();
            return made;
        });
    refreshes_ = std::make_unique<QSignalSpy>(delegate_.get(), &AppDelegate::refreshFinished);
    QObject::connect(
        &delegate_->appState(), &AppState::changed, &delegate_->appState(),
        [this] { offThreadWrites_ += QThread::currentThread() != qApp->thread() ? 1 : 0; },
        Qt::DirectConnection);
    form_ = std::make_unique<PreferencesForm>(
        &delegate_->appState(),
        &delegate_->commands(),
        LoginItemService::mainAppService());
    form_->appear();
    delegate_->setUp();
    return waitUntil([&] { return refreshes_->size() >= 1; });
}

void Rig::close() {
    form_.reset();
    refreshes_.reset();
    delegate_.reset();
    icon_ = nullptr;
}

bool Rig::chooseRefresh() {
    const qsizetype before = refreshes_->size();
    choose(QStringLiteral("Refresh"));
    return waitUntil([&] { return refreshes_->size() > before; });
}

bool Rig::leftClick() {
    QSignalSpy drained(&delegate_->commands(), &CommandQueue::drained);
    icon_->click(StatusIcon::Click::left);
    return waitUntil([&] { return !drained.isEmpty(); });
}

bool Rig::dragBrightnessTo(double percentage) {
    QSignalSpy finished(form_.get(), &PreferencesForm::lightCommandFinished);
    form_->brightnessEditingChanged(true);
    form_->setBrightnessSlider(percentage);
    form_->brightnessEditingChanged(false);
    return waitUntil([&] { return finished.size() > 0; });
}

void Rig::choose(const QString& menuTitle) {
    for (QAction* action : icon_->menu->actions()) {
        if (action->text() == menuTitle) {
            action->trigger();
            return;
        }
    }
    ADD_FAILURE() << "no menu item " << menuTitle.toStdString();
}

QString Rig::toolTip() const {
    return icon_->presentations.empty() ? QString() : icon_->presentations.back().toolTip;
}

QString Rig::menuStatusLine() const {
    return icon_->menu->actions().at(0)->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
}

QByteArray Rig::lights() const {
    return readFile(path("lights.json"));
}

QByteArray Rig::settings() {
    return QFileInfo(settingsFile()).isDir() ? QByteArray("<a folder>") : readFile(settingsFile());
}

int Rig::finishedRuns() const {
    return static_cast<int>(readFile(path("runs.log")).count('\n'));
}

qsizetype Rig::startedRuns() const {
    return readFile(path("pids")).count('\n');
}

bool Rig::anyChildAlive() const {
    for (const QByteArray& pid : readFile(path("pids")).split('\n')) {
        const QByteArray stat = readFile("/proc/" + QString::fromUtf8(pid.trimmed()) + "/stat");
        // "pid (name) S ...": a zombie is dead, only not yet collected by its parent.
        const qsizetype end = stat.lastIndexOf(')');
        if (!pid.trimmed().isEmpty() && end > 0 && end + 2 < stat.size() && stat[end + 2] != 'Z' &&
            stat[end + 2] != 'X') {
            return true;
        }
    }
    return false;
}

void expectServedAndSane(Rig& rig, const QByteArray& settings) {
    ASSERT_TRUE(rig.chooseRefresh());
    EXPECT_EQ(rig.toolTip(), "Lights: Mixed");
    EXPECT_EQ(rig.menuStatusLine(), "Lights: Mixed");
    EXPECT_EQ(rig.state().deviceCount(), 2);
    EXPECT_EQ(rig.state().brightnessPercentage(), 70.0);

    ASSERT_TRUE(rig.dragBrightnessTo(55));
    EXPECT_EQ(rig.form().lightActionError(), std::nullopt);
    ASSERT_TRUE(rig.leftClick());
    EXPECT_EQ(rig.toolTip(), "All lights: Off");
    EXPECT_NEAR(rig.state().brightnessPercentage().value_or(0), 55.0, 0.5);

    EXPECT_TRUE(waitUntil([&] { return !rig.anyChildAlive(); }, 3000)) << "a child is left running";
    EXPECT_EQ(rig.offThreadWrites(), 0);
    EXPECT_EQ(Rig::settings(), settings);
}

}  // namespace faults
