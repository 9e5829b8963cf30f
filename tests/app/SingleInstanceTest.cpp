#include "SingleInstance.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <cstring>

using testsupport::waitUntil;

namespace {

// Leaves a socket file behind as a process that crashed while listening does.
void leaveStaleSocket(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(native.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, native.constData(), static_cast<size_t>(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(fd, 1), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));
}

class SingleInstanceTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString folder() const { return dir.filePath(QStringLiteral("instances")); }

    QTemporaryDir dir;
};

TEST_F(SingleInstanceTest, FirstStartClaimsAndASecondHandsOverToIt) {
    SingleInstance first(folder(), QStringLiteral("x11-_0"));
    QSignalSpy requests(&first, &SingleInstance::preferencesRequested);
    ASSERT_EQ(first.claim(), SingleInstance::Outcome::claimed);
    EXPECT_EQ((QFileInfo(folder()).permissions() & 0x0077).toInt(), 0) << "the folder is private";

    SingleInstance second(folder(), QStringLiteral("x11-_0"));
    EXPECT_EQ(second.claim(), SingleInstance::Outcome::handedOver);
    EXPECT_TRUE(waitUntil([&] { return requests.size() == 1; }));

    SingleInstance third(folder(), QStringLiteral("x11-_0"));
    EXPECT_EQ(third.claim(), SingleInstance::Outcome::handedOver);
    EXPECT_TRUE(waitUntil([&] { return requests.size() == 2; }));
}

TEST_F(SingleInstanceTest, OtherDisplaysHaveTheirOwn) {
    SingleInstance onZero(folder(), QStringLiteral("x11-_0"));
    SingleInstance onOne(folder(), QStringLiteral("x11-_1"));
    EXPECT_EQ(onZero.claim(), SingleInstance::Outcome::claimed);
    EXPECT_EQ(onOne.claim(), SingleInstance::Outcome::claimed);
}

TEST_F(SingleInstanceTest, NextStartClaimsOnceTheRunningOneHasEnded) {
    QString socket;
    {
        SingleInstance ended(folder(), QStringLiteral("default"));
        ASSERT_EQ(ended.claim(), SingleInstance::Outcome::claimed);
        socket = ended.socketPath();
        ASSERT_TRUE(QFileInfo::exists(socket));
    }
    EXPECT_FALSE(QFileInfo::exists(socket)) << "an orderly end removes the socket";
    SingleInstance next(folder(), QStringLiteral("default"));
    EXPECT_EQ(next.claim(), SingleInstance::Outcome::claimed);
}

TEST_F(SingleInstanceTest, StaleSocketDoesNotBlockAStart) {
    SingleInstance start(folder(), QStringLiteral("default"));
    ASSERT_TRUE(QDir().mkpath(folder()));
    ASSERT_TRUE(
        QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    leaveStaleSocket(start.socketPath());

    QSignalSpy requests(&start, &SingleInstance::preferencesRequested);
    ASSERT_EQ(start.claim(), SingleInstance::Outcome::claimed);
    SingleInstance later(folder(), QStringLiteral("default"));
    EXPECT_EQ(later.claim(), SingleInstance::Outcome::handedOver);
    EXPECT_TRUE(waitUntil([&] { return requests.size() == 1; })) << "the new socket answers";
}

TEST_F(SingleInstanceTest, OnlyTheRequestOpensPreferences) {
    SingleInstance running(folder(), QStringLiteral("default"));
    QSignalSpy requests(&running, &SingleInstance::preferencesRequested);
    ASSERT_EQ(running.claim(), SingleInstance::Outcome::claimed);

    for (const QByteArray& message :
         {QByteArray("hello\n"), QByteArray("open-preferences"), QByteArray(200, 'x')}) {
        QLocalSocket client;
        client.connectToServer(running.socketPath());
        ASSERT_TRUE(client.waitForConnected(2000));
        client.write(message);
        ASSERT_TRUE(client.waitForBytesWritten(2000));
        client.disconnectFromServer();
    }
    SingleInstance later(folder(), QStringLiteral("default"));
    ASSERT_EQ(later.claim(), SingleInstance::Outcome::handedOver);
    ASSERT_TRUE(waitUntil([&] { return requests.size() >= 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(requests.size(), 1);
}

struct UnusableCase {
    const char* name;
    // Makes an unusable folder below `base` and returns its path.
    std::function<QString(const QString& base)> prepare;
    const char* reason;
};

class UnusableFolder : public SingleInstanceTest,
                       public testing::WithParamInterface<UnusableCase> {};

TEST_P(UnusableFolder, IsReportedWithItsPath) {
    const QString unusable = GetParam().prepare(dir.path());
    SingleInstance start(unusable, QStringLiteral("default"));
    try {
        start.claim();
        FAIL() << "claimed in an unusable folder";
    } catch (const SingleInstanceError& error) {
        EXPECT_EQ(error.kind(), SingleInstanceError::Kind::unavailable);
        EXPECT_TRUE(error.localizedDescription().contains(unusable))
            << error.localizedDescription().toStdString();
        EXPECT_TRUE(error.localizedDescription().endsWith(QLatin1String(GetParam().reason)))
            << error.localizedDescription().toStdString();
    }
}

QString openToOthers(const QString& base) {
    const QString folder = base + "/open";
    QDir().mkpath(folder);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    return folder;
}

QString fileInItsPlace(const QString& base) {
    testsupport::writeFile(base + "/file", "not a folder");
    return base + "/file";
}

QString belowAFile(const QString& base) {
    return fileInItsPlace(base) + "/instances";
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UnusableFolder,
    testing::Values(UnusableCase{"OpenToOthers", openToOthers, "other users can use it"},
                    UnusableCase{"AFileInItsPlace", fileInItsPlace, "Not a directory"},
                    UnusableCase{"BelowAFile", belowAFile, "Not a directory"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Names and places

class EnvironmentScope {
public:
    explicit EnvironmentScope(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            saved_.emplace_back(name, qgetenv(name), qEnvironmentVariableIsSet(name));
            qunsetenv(name);
        }
    }
    ~EnvironmentScope() {
        for (const auto& [name, value, set] : saved_) {
            if (set) {
                qputenv(name, value);
            } else {
                qunsetenv(name);
            }
        }
    }

private:
    std::vector<std::tuple<const char*, QByteArray, bool>> saved_;
};

struct SessionCase {
    const char* name;
    QByteArray wayland;
    QByteArray x11;
    QString expected;
};

class SessionName : public testing::TestWithParam<SessionCase> {};

TEST_P(SessionName, FollowsTheDisplay) {
    EnvironmentScope scope{"WAYLAND_DISPLAY", "DISPLAY"};
    if (!GetParam().wayland.isEmpty()) {
        qputenv("WAYLAND_DISPLAY", GetParam().wayland);
    }
    if (!GetParam().x11.isEmpty()) {
        qputenv("DISPLAY", GetParam().x11);
    }
    EXPECT_EQ(SingleInstance::sessionName(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Displays, SessionName,
    testing::Values(
        SessionCase{"NoDisplay", {}, {}, "default"}, SessionCase{"X11", {}, ":0", "x11-_0"},
        SessionCase{"X11ScreenIsTheSameDisplay", {}, ":0.0", "x11-_0"},
        SessionCase{"X11OtherDisplay", {}, ":1", "x11-_1"},
        SessionCase{"X11Remote", {}, "localhost:10.0", "x11-localhost_10"},
        SessionCase{"WaylandWinsOverXWayland", "wayland-0", ":0", "wayland-wayland-0"},
        SessionCase{
            "WaylandAbsolutePath", "/run/user/7/wayland-1", {}, "wayland-_run_user_7_wayland-1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SessionNameLength, LongDisplayNamesAreShortenedAndStayApart) {
    EnvironmentScope scope{"WAYLAND_DISPLAY", "DISPLAY"};
    qputenv("WAYLAND_DISPLAY", "/" + QByteArray(200, 'a'));
    const QString one = SingleInstance::sessionName();
    qputenv("WAYLAND_DISPLAY", "/" + QByteArray(200, 'b'));
    const QString other = SingleInstance::sessionName();
    EXPECT_LE(one.size(), 48);
    EXPECT_NE(one, other);
}

TEST(DefaultDirectory, IsInTheRuntimeFolderOrAPrivateTemporaryOne) {
    EnvironmentScope scope{"XDG_RUNTIME_DIR"};
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    EXPECT_EQ(SingleInstance::defaultDirectory(), runtime.path() + "/glowdeck");

    const QString fallback = QDir::tempPath() + QStringLiteral("/glowdeck-%1").arg(::getuid());
    qputenv("XDG_RUNTIME_DIR", "relative/run");
    EXPECT_EQ(SingleInstance::defaultDirectory(), fallback);
    qputenv("XDG_RUNTIME_DIR", runtime.filePath("missing").toUtf8());
    EXPECT_EQ(SingleInstance::defaultDirectory(), fallback);
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleInstance::defaultDirectory(), fallback);
}

// ---- The real program

// Runs bin/glowdeck in a private session: its own runtime folder, home and simulated lights,
// no display and no session bus, so that it never meets the user's own Glowdeck or tray.
class GlowdeckProcesses : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(runtime()));
        ASSERT_TRUE(QFile::setPermissions(runtime(),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "LITRA_SIM_FAULTS_FILE",
                                 "LITRA_SIM_LOG", "SESSION_MANAGER"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert("HOME", dir.filePath("home"));
        environment.insert("XDG_CONFIG_HOME", dir.filePath("home/.config"));
        environment.insert("XDG_STATE_HOME", dir.filePath("home/.local/state"));
        environment.insert("XDG_RUNTIME_DIR", runtime());
        environment.insert("LITRA_SIM_STATE", dir.filePath("lights.json"));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir.filePath("no-bus"));
    }

    void TearDown() override {
        for (auto& process : processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    QString runtime() const { return dir.filePath(QStringLiteral("run")); }
    QString socketPath() const {
        return SingleInstance(runtime() + QStringLiteral("/glowdeck"), QStringLiteral("default"))
            .socketPath();
    }

    QProcess* start() {
        processes.push_back(std::make_unique<QProcess>());
        QProcess* process = processes.back().get();
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(GLOWDECK_APP_BINARY), {});
        EXPECT_TRUE(process->waitForStarted(10000)) << process->errorString().toStdString();
        return process;
    }

    bool answers() const {
        QLocalSocket probe;
        probe.connectToServer(socketPath());
        return probe.waitForConnected(100);
    }

    // Started and listening for later starts.
    QProcess* startRunning() {
        QProcess* process = start();
        EXPECT_TRUE(waitUntil([&] { return answers() || process->state() == QProcess::NotRunning; },
                              30000));
        EXPECT_EQ(process->state(), QProcess::Running);
        return process;
    }

    static void expectHandedOver(QProcess* process) {
        ASSERT_TRUE(process->waitForFinished(30000)) << "a second start kept running";
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 0);
    }

    QTemporaryDir dir;
    QProcessEnvironment environment;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(GlowdeckProcesses, SecondStartHandsOverAndExitsWhileTheFirstRunsOn) {
    QProcess* first = startRunning();
    expectHandedOver(start());
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(GlowdeckProcesses, StartAfterACrashIsNotBlockedByWhatTheCrashLeft) {
    QProcess* crashed = startRunning();
    crashed->kill();
    ASSERT_TRUE(crashed->waitForFinished(10000));
    ASSERT_TRUE(QFileInfo::exists(socketPath())) << "a killed process leaves its socket";
    // A litra child caught between its start and its exec may hold the socket a moment longer.
    ASSERT_TRUE(waitUntil([&] { return !answers(); }));

    QProcess* next = startRunning();
    expectHandedOver(start());
    EXPECT_EQ(next->state(), QProcess::Running) << "the start after the crash is the one running";
}

}  // namespace
