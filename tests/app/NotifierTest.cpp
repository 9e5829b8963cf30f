// Desktop notifications as a notification server on a private session bus receives them.
#include "AppState.h"
#include "DesktopNotifier.h"
#include "LitraError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using testsupport::waitUntil;

namespace {

struct Notification {
    uint replaces;
    QString summary;
    QString body;
    QStringList actions;
};

// Stands in for the desktop's notification server.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    std::vector<Notification> received;

public slots:
    uint Notify(const QString&, uint replaces, const QString&, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap&, int) {
        received.push_back({replaces, summary, body, actions});
        return 7;
    }
};

TEST(Notifier, TellsEachStateThatNeedsTheUserOnceAndItsActionOpensPreferences) {
    QTemporaryDir dir;
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address",
                                 "--address=unix:path=" + dir.filePath("bus")});
    ASSERT_TRUE(waitUntil([&] { return daemon.canReadLine(); })) << "no dbus-daemon";
    const QString address = QString::fromUtf8(daemon.readLine().trimmed());
    QDBusConnection server = QDBusConnection::connectToBus(address, "server");
    NotificationServer notifications;
    ASSERT_TRUE(server.registerObject(DesktopNotifier::objectPath, &notifications,
                                      QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(server.registerService(DesktopNotifier::serviceName));

    AppState state;
    QStringList opened;
    DesktopNotifier notifier(state, QDBusConnection::connectToBus(address, "client"),
                             [&](const QString& token) { opened << token; });
    const auto refreshes = [&](LightStatus status, int count, bool permission = false) {
        for (int i = 0; i < count; ++i) {
            state.publish(LightsSnapshot::of(status, {}, permission, {}));
            notifier.refreshFinished();
        }
        QTest::qWait(50);  // time for a Notify that should not come
    };

    refreshes(LightStatus::error(LitraError::noToolChosen().localizedDescription()), 4);
    ASSERT_EQ(notifications.received.size(), 1u) << "once, not at each refresh";
    EXPECT_EQ(notifications.received[0].summary, "Error: No litra tool chosen yet");
    EXPECT_EQ(notifications.received[0].body, "Choose it in Preferences, General: litra tool");
    EXPECT_TRUE(notifications.received[0].actions.contains("preferences"));

    QDBusMessage token = QDBusMessage::createSignal(
        DesktopNotifier::objectPath, DesktopNotifier::serviceName, "ActivationToken");
    server.send(token << 7u << QString("token-1"));
    QDBusMessage invoked = QDBusMessage::createSignal(
        DesktopNotifier::objectPath, DesktopNotifier::serviceName, "ActionInvoked");
    server.send(invoked << 7u << QString("preferences"));
    ASSERT_TRUE(waitUntil([&] { return !opened.isEmpty(); }));
    EXPECT_EQ(opened, QStringList{"token-1"});

    refreshes(LightStatus::allOn(), 1);
    refreshes(LightStatus::error("litra exited 1: busy"), failuresBeforeAttention - 1);
    EXPECT_EQ(notifications.received.size(), 1u) << "a failure may pass by itself";
    refreshes(LightStatus::error("litra exited 1: busy"), 2);
    ASSERT_EQ(notifications.received.size(), 2u);
    EXPECT_EQ(notifications.received[1].replaces, 7u) << "in place of the last one";

    refreshes(LightStatus::noDevices(), 1);
    refreshes(LightStatus::noDevices(), 2, true);
    ASSERT_EQ(notifications.received.size(), 3u);
    EXPECT_EQ(notifications.received[2].summary,
              "A light is connected, but you do not have permission to use it.");

    state.setNotify(false);
    EXPECT_EQ(QSettings("Glowdeck", "Glowdeck").value(AppState::notifyKey), false);
    refreshes(LightStatus::allOn(), 1);
    refreshes(LightStatus::error("Could not start /x: Permission denied"), 1);
    EXPECT_EQ(notifications.received.size(), 3u) << "turned off";

    QDBusConnection::disconnectFromBus("client");
    QDBusConnection::disconnectFromBus("server");
    daemon.kill();
    daemon.waitForFinished();
}

}  // namespace

#include "NotifierTest.moc"
