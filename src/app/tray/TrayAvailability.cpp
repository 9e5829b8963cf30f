#include "TrayAvailability.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QSystemTrayIcon>

#ifdef GLOWDECK_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

bool statusNotifierHostRegistered() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(watcherService).value()) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    QDBusMessage reply = bus.call(get, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

bool isX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

#ifdef GLOWDECK_HAVE_XCB
// Whether a window owns the XEmbed tray selection of our screen.
bool xembedTrayPresent() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        return false;
    }
    // DISPLAY is ":display[.screen]"; the tray selection is per screen.
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype dot = display.lastIndexOf('.');
    const qsizetype colon = display.lastIndexOf(':');
    const QByteArray screen = dot > colon ? display.mid(dot + 1) : QByteArray("0");
    const QByteArray selection = "_NET_SYSTEM_TRAY_S" + screen;

    using Reply = std::unique_ptr<void, decltype(&std::free)>;
    auto atomCookie =
        xcb_intern_atom(connection, /*only_if_exists=*/1, static_cast<uint16_t>(selection.size()),
                        selection.constData());
    auto* atomReply = xcb_intern_atom_reply(connection, atomCookie, nullptr);
    Reply atomHolder(atomReply, &std::free);
    if (!atomReply || atomReply->atom == XCB_ATOM_NONE) {
        return false;
    }
    auto ownerCookie = xcb_get_selection_owner(connection, atomReply->atom);
    auto* ownerReply = xcb_get_selection_owner_reply(connection, ownerCookie, nullptr);
    Reply ownerHolder(ownerReply, &std::free);
    return ownerReply && ownerReply->owner != XCB_WINDOW_NONE;
}
#endif

}  // namespace

bool isSystemTrayAvailableNow() {
    // Qt decides once per process, the first time it is asked, whether it speaks
    // StatusNotifierItem; asked before any host is there it settles on having no tray for good
    // where there is no XEmbed fallback. So look for a host ourselves before asking Qt.
    if (statusNotifierHostRegistered()) {
        return QSystemTrayIcon::isSystemTrayAvailable();
    }
    if (isX11()) {
#ifdef GLOWDECK_HAVE_XCB
        return xembedTrayPresent() && QSystemTrayIcon::isSystemTrayAvailable();
#else
        return QSystemTrayIcon::isSystemTrayAvailable();
#endif
    }
    return false;
}
