// The floor of a verb: a Qt Core program that makes one call on the session bus (a Ping of the
// running Glowdeck, which Qt D-Bus answers without running anything) and exits.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QDBusMessage answer = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        QStringLiteral("org.glowdeck.Glowdeck"), QStringLiteral("/org/glowdeck/Glowdeck"),
        QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    return answer.type() == QDBusMessage::ReplyMessage ? 0 : 1;
}
