#include "AppDelegate.h"
#include "LitraController.h"
#include "PreferencesWindowController.h"
#include "RecordingStatusIcon.h"
#include "SessionService.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusPendingCall>
#include <QDir>
#include <QEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

using testsupport::readFile;
using testsupport::ScopedEnv;
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
        service.reset();
        delegate.reset();
        for (auto& process : processes) {
            process->kill();
            process->waitForFinished();
        }
        QDBusConnection::disconnectFromBus("test");
        daemon.kill();  // and waited for by its destructor
    }

    QProcess* start(const QStringList& args = {}) {
        auto& process = processes.emplace_back(std::make_unique<QProcess>());
        process->setProcessEnvironment(environment);
        process->start(GLOWDECK_APP_BINARY, args);
        EXPECT_TRUE(process->waitForStarted());
        return process.get();
    }

    // `glowdeck ARGS...` run to its end on the simulator's lights, logging to runs.log.
    QProcess* verb(const QStringList& args) {
        environment.insert("LITRA_SIM_LOG", dir.filePath("runs.log"));
        QProcess* process = start(args);
        EXPECT_TRUE(ended(process));
        return process;
    }

    // The session's Glowdeck in this process, on the same lights, polling hourly.
    void writeLights() {
        testsupport::writeFile(dir.filePath("lights.json"),
                               "{\"lights\":" + testsupport::lightsJson({{}, {}}) + "}");
    }
    void runGlowdeckHere() {
        writeLights();
        delegate = std::make_unique<AppDelegate>(
            [] { return std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR)); },
            [] { return std::make_unique<RecordingStatusIcon>(); });
        delegate->appState().setPollIntervalSeconds(3600);
        service = std::make_unique<SessionService>(delegate->appState(), delegate->commands(),
                                                   [this] { delegate->openPreferences(); });
        delegate->setUp();
        ASSERT_EQ(service->claim(bus), SessionService::Outcome::owner);
        ASSERT_TRUE(waitUntil([&] { return delegate->appState().deviceCount() == 2; }));
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
    ScopedEnv lights{"LITRA_SIM_STATE", dir.filePath("lights.json").toUtf8()};
    ScopedEnv log{"LITRA_SIM_LOG", dir.filePath("runs.log").toUtf8()};
    std::unique_ptr<AppDelegate> delegate;
    std::unique_ptr<SessionService> service;
};

// Keeps the names of the properties in each PropertiesChanged.
struct ChangeWatch : QObject {
    Q_OBJECT
public slots:
    void changed(const QString&, const QVariantMap& properties, const QStringList&) {
        seen.append(properties.keys());
    }

public:
    QList<QStringList> seen;
};

TEST_F(SessionBus, SecondStartHasTheFirstShowPreferencesWithItsTokenAndEnds) {
    AppDelegate delegate;
    SessionService first(delegate.appState(), delegate.commands(),
                         [&] { delegate.openPreferences(); });
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
    ASSERT_TRUE(waitUntil(
        [&] {
            said += QString::fromLocal8Bit(alone->readAllStandardError());
            return said.contains("session bus") && QFileInfo::exists(dir.filePath("runs.log"));
        },
        30000))
        << said.toStdString();
    EXPECT_EQ(alone->state(), QProcess::Running);
    EXPECT_EQ(said.count("session bus"), 1) << said.toStdString();
}

TEST_F(SessionBus, EveryVerbThroughTheRunningGlowdeckOrItselfAndThePropertiesItChanges) {
    const struct {
        QStringList args;
        int exit;
        QByteArray ran;   // litra's first run other than a query, if any
        QByteArray says;  // a line of standard error
    } cases[] = {
        {{"toggle"}, 0, "toggle", ""},
        {{"off", "--light", "T-2"}, 0, "off --serial-number T-2", ""},
        {{"on"}, 0, "on", ""},
        {{"on", "--light", "T-9"}, 2, "", "glowdeck: no light with serial number T-9\n"},
        {{"brightness", "40", "--light", "T-1"},
         0,
         "brightness --serial-number T-1 --percentage 40",
         ""},
        {{"temperature", "3000"}, 0, "temperature --value 3000", ""},
        {{"refresh"}, 0, "", ""},
        {{"brightness", "-5"},
         2,
         "",
         "glowdeck: brightness takes a percentage from 1 to 100, not \"-5\"\n"},
        {{"status", "--light", "T-1"}, 2, "", ""},
        {{"toggle", "--light", "--help"},
         2,
         "",
         "glowdeck: --light: serial number \"--help\" begins with \"-\"\n"},
    };
    for (const bool running : {false, true}) {
        running ? runGlowdeckHere() : writeLights();
        for (const auto& c : cases) {
            testsupport::writeFile(dir.filePath("runs.log"), "");
            QProcess* process = verb(c.args);
            const std::string what =
                (running ? "running: " : "alone: ") + c.args.join(' ').toStdString();
            EXPECT_EQ(process->exitCode(), c.exit) << what;
            QByteArray ran;
            for (const QByteArray& line : readFile(dir.filePath("runs.log")).split('\n')) {
                const QByteArray command = line.split(' ').mid(3).join(' ');
                ran = ran.isEmpty() && command != "devices --json" ? command : ran;
            }
            EXPECT_EQ(ran, c.ran) << what;
            // As one whole line: Qt's D-Bus may add a warning of its own while it shuts down.
            EXPECT_TRUE(process->readAllStandardError().contains(c.says)) << what;
        }
        QProcess* status = verb({"status", "--json"});
        const QJsonObject json = QJsonDocument::fromJson(status->readAllStandardOutput()).object();
        EXPECT_EQ(json["status"], "All lights: On");
        EXPECT_EQ(json["device_count"], 2);
        EXPECT_EQ(json["lights"][0].toObject(), QJsonObject({{"serial_number", "T-1"},
                                                             {"name", "Test Panel"},
                                                             {"on", true},
                                                             {"brightness", 40},
                                                             {"temperature", 3000}}));
        EXPECT_EQ(verb({"status"})->readAllStandardOutput(),
                  "All lights: On; 2 devices connected\n");
    }
    EXPECT_EQ(delegate->appState().status(), LightStatus::allOn()) << "the icon followed";
    // The bus itself refuses what the command line would, runs nothing and leaves the status.
    for (const auto& [method, arguments, refusal] :
         std::vector<std::tuple<QString, QVariantList, QString>>{
             {"SetBrightness", {-5, ""}, "brightness takes a percentage from 1 to 100, not -5"},
             {"SetBrightness",
              {101, "T-1"},
              "brightness takes a percentage from 1 to 100, not 101"},
             {"SetTemperature",
              {-4550, ""},
              "temperature takes kelvin from 100 to 100000 in steps of 100, not -4550"},
             {"Toggle", {"--help"}, "serial number \"--help\" begins with \"-\""},
             {"On", {"NOPE"}, "no light with serial number NOPE"}}) {
        testsupport::writeFile(dir.filePath("runs.log"), "");
        QDBusMessage call =
            QDBusMessage::createMethodCall(SessionService::serviceName, SessionService::objectPath,
                                           SessionService::interfaceName, method);
        call.setArguments(arguments);
        QDBusPendingCall pending = bus.asyncCall(call);
        ASSERT_TRUE(waitUntil([&] { return pending.isFinished(); }));
        EXPECT_EQ(pending.error().name(), "org.freedesktop.DBus.Error.InvalidArgs");
        EXPECT_EQ(pending.error().message(), refusal);
        EXPECT_EQ(readFile(dir.filePath("runs.log")), "");
        EXPECT_EQ(delegate->appState().status(), LightStatus::allOn());
    }

    ChangeWatch watch;
    const QString address = environment.value("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_TRUE(QDBusConnection::connectToBus(address, "watch")
                    .connect(QString(), SessionService::objectPath,
                             "org.freedesktop.DBus.Properties", "PropertiesChanged", &watch,
                             SLOT(changed(QString, QVariantMap, QStringList))));
    verb({"refresh"});  // nothing changed
    verb({"off", "--light", "T-2"});
    ASSERT_TRUE(waitUntil([&] { return !watch.seen.isEmpty(); }));
    waitUntil([] { return false; }, 100);
    EXPECT_EQ(watch.seen, QList<QStringList>{QStringList({"Lights", "Status"})});
    QDBusConnection::disconnectFromBus("watch");
    // What a panel widget or a script sees.
    QProcess gdbus;
    gdbus.start("gdbus", {"introspect", "--address", address, "--dest", SessionService::serviceName,
                          "--object-path", SessionService::objectPath});
    ASSERT_TRUE(ended(&gdbus));
    EXPECT_TRUE(gdbus.readAllStandardOutput().contains(
        "readonly aa{sv} Lights = [{'brightness': <40>, 'name': <'Test Panel'>, 'on': <true>, "
        "'serial_number': <'T-1'>, 'temperature': <3000>}, {'brightness': <40>, 'name': <'Test "
        "Panel'>, 'on': <false>, 'serial_number': <'T-2'>, 'temperature': <3000>}];"));
}

// In an error, `status` fails with the headline, and `status --json` prints what a panel shows
// and succeeds, so that the panel shows the error; through a running Glowdeck or alone.
TEST_F(SessionBus, VerbsSpeakTheLocalesLanguageWhileTheJsonForProgramsStaysEnglish) {
    writeLights();
    environment.insert("LANG", "de_DE.UTF-8");
    EXPECT_EQ(verb({"status"})->readAllStandardOutput(),
              "Alle Leuchten: Aus; 2 Geräte verbunden\n");
    const QJsonObject json =
        QJsonDocument::fromJson(verb({"status", "--json"})->readAllStandardOutput()).object();
    EXPECT_EQ(json["status"], "All lights: Off");
    EXPECT_EQ(json["state"], "off");
    EXPECT_EQ(json["text"], "All lights: Off");
    EXPECT_TRUE(
        verb({"brightness", "0"})
            ->readAllStandardError()
            .contains("glowdeck: brightness nimmt einen Prozentwert von 1 bis 100, nicht \"0\"\n"));
    environment.insert("LITRA_SIM_FAIL_STATUS", "1");
    environment.insert("LITRA_SIM_FAIL_STDERR", "HidError: busy\n");
    environment.insert("LANG", "fr_FR.UTF-8");  // its colon tells where the tool's words begin
    EXPECT_TRUE(verb({"on"})->readAllStandardError().contains(
        "Erreur\u00a0: litra s'est terminé avec le code 1\u00a0: HidError: busy\n"));
}

TEST_F(SessionBus, StatusInAnErrorFailsAndItsJsonTellsAPanelWhy) {
    const QString said = "Error: HidError(busy)\nUsage: litra <COMMAND>\n";
    const QString reason = "litra exited 1: " + said;
    const QString headline = "Error: litra exited 1: HidError(busy)";
    const QString advice = "Check that the lights are plugged in, then Refresh";
    const auto expectError = [&](const std::string& how) {
        QProcess* plain = verb({"status"});
        EXPECT_EQ(plain->exitCode(), 1) << how;
        EXPECT_EQ(plain->readAllStandardOutput(), headline + "; 0 devices connected\n") << how;
        QProcess* json = verb({"status", "--json"});
        EXPECT_EQ(json->exitCode(), 0) << how;
        const QJsonObject object = QJsonDocument::fromJson(json->readAllStandardOutput()).object();
        EXPECT_EQ(object["state"], "error") << how;
        EXPECT_EQ(object["class"], "error") << how;
        EXPECT_EQ(object["text"], headline) << how;
        EXPECT_EQ(object["tooltip"], headline + "\n" + advice) << how;
        EXPECT_EQ(object["status"], "Error: " + reason.chopped(1)) << how;
        EXPECT_FALSE(object.contains("percentage")) << how;
    };
    environment.insert("LITRA_SIM_FAIL_STATUS", "1");
    environment.insert("LITRA_SIM_FAIL_STDERR", said);
    expectError("alone");
    environment.remove("LITRA_SIM_FAIL_STATUS");
    runGlowdeckHere();
    delegate->appState().publish(LightsSnapshot::of(LightStatus::error(reason), {}, false, {}));
    expectError("running");

    LitraDevice light;
    std::tie(light.serial_number, light.device_type, light.is_on) =
        std::tuple("T-1", "Panel", true);
    std::tie(light.brightness_in_lumen, light.maximum_brightness_in_lumen) = std::pair(40, 80);
    delegate->appState().publish(
        LightsSnapshot::of(LightStatus::allOn(), {light, light}, false, {}));
    const QJsonObject on =
        QJsonDocument::fromJson(verb({"status", "--json"})->readAllStandardOutput()).object();
    EXPECT_EQ(on["state"], "on");
    EXPECT_EQ(on["percentage"], 50);
    EXPECT_EQ(on["tooltip"], "All lights: On\nPanel T-1: on, 50 %\nPanel T-1: on, 50 %");
}

TEST_F(SessionBus, QuickTogglesFromAShellWhileTheIconIsClickedNeverRunTwoChildren) {
    runGlowdeckHere();
    environment.insert("LITRA_SIM_LOG", dir.filePath("runs.log"));
    QProcess loop;
    loop.setProcessEnvironment(environment);
    loop.start("sh", {"-c", "for i in $(seq 20); do \"$0\" toggle || echo failed & done; wait",
                      GLOWDECK_APP_BINARY});
    auto* icon = static_cast<RecordingStatusIcon*>(delegate->statusItem());
    // Twenty clicks in among the verbs; more would only queue runs for the refresh below.
    int spins = 0;
    int clicks = 0;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (clicks < 20 && ++spins % 5 == 0) {
                icon->click(StatusIcon::Click::left);
                ++clicks;
            }
            return loop.state() == QProcess::NotRunning;
        },
        60000));
    EXPECT_EQ(loop.readAllStandardOutput(), "");
    verb({"refresh"});  // queued behind every earlier run
    EXPECT_GE(readFile(dir.filePath("runs.log")).count(" toggle\n"), 21);
    EXPECT_EQ(testsupport::overlappingRuns(dir.filePath("runs.log")), 0);
}

}  // namespace

#include "SessionServiceTest.moc"
