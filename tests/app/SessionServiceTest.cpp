#include "AppDelegate.h"
#include "PreferencesWindowController.h"
#include "SessionService.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDir>
#include <QEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

using testsupport::waitUntil;

namespace {

TEST(ActivationToken, PrefersTheWaylandTokenAndTakesStringsOnly) {
    const std::pair<QVariantMap, QString> cases[] = {
        {{{"activation-token", "wl"}, {"desktop-startup-id", "x11"}}, "wl"},
        {{{"activation-token", ""}, {"desktop-startup-id", "x11"}}, "x11"},
        {{{"activation-token", 7}}, ""},
        {{{"activation-token", QStringList{"wl"}}}, ""},
    };
    for (const auto& [platformData, token] : cases) {
        EXPECT_EQ(activationToken(platformData), token) << token.toStdString();
    }
}

// Records what XDG_ACTIVATION_TOKEN was when the watched window was shown.
struct ShowWatch : QObject {
    QByteArray token = "<not shown>";
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            token = qgetenv("XDG_ACTIVATION_TOKEN");
        }
        return false;
    }
};

// A private session bus, and bin/glowdeck's environment on it: the test's home, a runtime
// folder and simulated lights of its own, no display.
class SessionBus : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkdir(dir.filePath("run"),
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address",
                                     "--address=unix:path=" + dir.filePath("bus")});
        ASSERT_TRUE(waitUntil([&] { return daemon.canReadLine(); })) << "no dbus-daemon";
        const QString address = QString::fromUtf8(daemon.readLine().trimmed());
        bus = QDBusConnection::connectToBus(address, "test");
        ASSERT_TRUE(bus.isConnected());
        environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SESSION_MANAGER", "LITRA_SIM_LOG",
                                 "LITRA_SIM_FAULTS_FILE", "XDG_ACTIVATION_TOKEN"}) {
            environment.remove(name);
        }
        environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
        environment.insert("XDG_RUNTIME_DIR", dir.filePath("run"));
        environment.insert("LITRA_SIM_STATE", dir.filePath("lights.json"));
    }

    void TearDown() override {
        for (auto& process : processes) {
            process->kill();
            process->waitForFinished();
        }
        QDBusConnection::disconnectFromBus("test");
        daemon.kill();  // and waited for by its destructor
    }

    QProcess* start() {
        auto& process = processes.emplace_back(std::make_unique<QProcess>());
        process->setProcessEnvironment(environment);
        process->start(GLOWDECK_APP_BINARY, {});
        EXPECT_TRUE(process->waitForStarted());
        return process.get();
    }

    bool owns(QProcess* process) const {
        return bus.interface()->servicePid(SessionService::serviceName).value() ==
               process->processId();
    }

    // Spins the event loop meanwhile, so that this process can answer bus calls.
    static bool ended(QProcess* process) {
        return waitUntil([&] { return process->state() == QProcess::NotRunning; }, 30000);
    }

    QTemporaryDir dir;
    QProcess daemon;
    QDBusConnection bus{QString()};
    QProcessEnvironment environment;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(SessionBus, SecondStartHasTheFirstShowPreferencesWithItsTokenAndEnds) {
    AppDelegate delegate;
    SessionService first(delegate);
    ASSERT_EQ(first.claim(bus), SessionService::Outcome::owner);
    ShowWatch watch;
    delegate.preferencesWindow()->window()->installEventFilter(&watch);

    environment.insert("XDG_ACTIVATION_TOKEN", "token-1");
    QProcess* second = start();
    ASSERT_TRUE(ended(second));
    EXPECT_TRUE(second->exitStatus() == QProcess::NormalExit && second->exitCode() == 0)
        << second->readAllStandardError().toStdString();
    EXPECT_EQ(watch.token, "token-1") << "shown with the token";
    EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN")) << "left for later windows";
}

TEST_F(SessionBus, OwnerThatDoesNotAnswerEndsASecondStartWithOneLine) {
    ASSERT_TRUE(bus.interface()->registerService(SessionService::serviceName).isValid());
    QProcess* second = start();
    ASSERT_TRUE(ended(second));
    EXPECT_EQ(second->exitCode(), 1);
    EXPECT_EQ(second->readAllStandardError().count('\n'), 1);
}

TEST_F(SessionBus, KilledOwnerLeavesNothingAndTheNextStartOwns) {
    QProcess* killed = start();
    ASSERT_TRUE(waitUntil([&] { return owns(killed); }, 30000));
    killed->kill();
    ASSERT_TRUE(ended(killed));
    EXPECT_TRUE(QDir(dir.filePath("run")).isEmpty());

    QProcess* next = start();
    EXPECT_TRUE(waitUntil([&] { return owns(next); }, 30000));
}

TEST_F(SessionBus, WithoutASessionBusRunsAndSaysSoOnce) {
    environment.remove("DBUS_SESSION_BUS_ADDRESS");
    environment.insert("LITRA_SIM_LOG", dir.filePath("runs.log"));
    QProcess* alone = start();
    // The first refresh runs litra: the launch has got past the bus.
    QString said;
    ASSERT_TRUE(waitUntil([&] {
        said += QString::fromLocal8Bit(alone->readAllStandardError());
        return said.contains("session bus") && QFileInfo::exists(dir.filePath("runs.log"));
    }, 30000)) << said.toStdString();
    EXPECT_EQ(alone->state(), QProcess::Running);
    EXPECT_EQ(said.count("session bus"), 1) << said.toStdString();
}

}  // namespace
