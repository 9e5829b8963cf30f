#include "PanelHints.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QPalette>

#include <optional>

#ifdef GLOWDECK_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString portalSettings = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorScheme = QStringLiteral("color-scheme");

// color-scheme: 1 prefers dark, 2 prefers light, 0 has no preference. Read() wraps the value in
// one variant more than SettingChanged does.
PanelTone schemeTone(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    switch (value.toUInt()) {
        case 1:
            return PanelTone::dark;
        case 2:
            return PanelTone::light;
        default:
            return PanelTone::unknown;
    }
}

#ifdef GLOWDECK_HAVE_XCB
using Reply = std::unique_ptr<void, decltype(&std::free)>;

// Atoms stay as long as the X server; a name not known yet is asked again.
xcb_atom_t existingAtom(xcb_connection_t* connection, const QByteArray& name) {
    static QHash<QByteArray, xcb_atom_t> known;
    static xcb_connection_t* knownOn = nullptr;
    if (knownOn != connection) {
        known.clear();
        knownOn = connection;
    }
    if (const auto found = known.constFind(name); found != known.constEnd()) {
        return *found;
    }
    auto* reply =
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, /*only_if_exists=*/1,
                                              static_cast<uint16_t>(name.size()), name.constData()),
                              nullptr);
    Reply holder(reply, &std::free);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    if (atom != XCB_ATOM_NONE) {
        known.insert(name, atom);
    }
    return atom;
}

// The foreground colour that the XEmbed tray of our screen asks its icons to be drawn in. Asks
// for the tray window's property changes, to follow that colour.
std::optional<QColor> trayForeground(quint32& watchedTray) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        return std::nullopt;
    }
    // DISPLAY is ":display[.screen]"; the tray selection is per screen.
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype dot = display.lastIndexOf('.');
    const QByteArray screen =
        dot > display.lastIndexOf(':') ? display.mid(dot + 1) : QByteArray("0");
    const xcb_atom_t selection = existingAtom(connection, "_NET_SYSTEM_TRAY_S" + screen);
    if (selection == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    auto* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    Reply ownerHolder(owner, &std::free);
    if (!owner || owner->owner == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    // The event mask is this connection's, shared with Qt, which watches the tray for its end
    // (StructureNotify) to dock again in the next one, and sets it anew (without ours) when it
    // docks there. So add to it, each time: replacing it left Qt docking into a tray long gone;
    // Qt replacing it lost the colours a restarted tray set.
    watchedTray = owner->owner;
    auto* attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, owner->owner), nullptr);
    Reply attributesHolder(attributes, &std::free);
    const uint32_t events = (attributes ? attributes->your_event_mask : 0) |
                            XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (events != (attributes ? attributes->your_event_mask : 0)) {
        xcb_change_window_attributes(connection, owner->owner, XCB_CW_EVENT_MASK, &events);
        xcb_flush(connection);
    }
    // Watched before the property's name exists: a tray may set its colours after it started.
    const xcb_atom_t colours = existingAtom(connection, "_NET_SYSTEM_TRAY_COLORS");
    if (colours == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    // Twelve cardinals, red, green and blue of 0 to 65535 for the foreground, error, warning
    // and success colours; the first three are what an icon is drawn in.
    auto* property = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, owner->owner, colours, XCB_ATOM_CARDINAL, 0, 3),
        nullptr);
    Reply propertyHolder(property, &std::free);
    if (!property || property->format != 32 || xcb_get_property_value_length(property) < 12) {
        return std::nullopt;
    }
    const auto* rgb = static_cast<const uint32_t*>(xcb_get_property_value(property));
    QColor colour;
    colour.setRgbF(float(std::min(rgb[0], 65535u) / 65535.0),
                   float(std::min(rgb[1], 65535u) / 65535.0),
                   float(std::min(rgb[2], 65535u) / 65535.0));
    return colour;
}

// A property of the tray window changed, or a tray took the selection (the MANAGER message that
// it sends to the root window): either may bring other colours. A window reparented (the icon
// docked) is where Qt has taken over the tray window's event mask.
bool isTrayChange(void* message, quint32 trayWindow) {
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
        case XCB_REPARENT_NOTIFY:
            return true;
        case XCB_PROPERTY_NOTIFY:
            return static_cast<const xcb_property_notify_event_t*>(message)->window == trayWindow;
        case XCB_CLIENT_MESSAGE: {
            auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
            static const xcb_atom_t manager =
                x11 ? existingAtom(x11->connection(), "MANAGER") : xcb_atom_t(XCB_ATOM_NONE);
            return manager != XCB_ATOM_NONE &&
                   static_cast<const xcb_client_message_event_t*>(message)->type == manager;
        }
        default:
            return false;
    }
}
#else
std::optional<QColor> trayForeground(quint32&) {
    return std::nullopt;
}

bool isTrayChange(void*, quint32) {
    return false;
}
#endif

}  // namespace

PanelHints::PanelHints(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
    qApp->installNativeEventFilter(this);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    // QtDBus finds the slot's argument types by name, and Qt 6 knows a type's name only once
    // it is registered.
    qRegisterMetaType<QDBusVariant>();
    bus.connect(portalService, portalPath, portalSettings, QStringLiteral("SettingChanged"), this,
                SLOT(settingChanged(QString, QString, QDBusVariant)));
    QDBusMessage read = QDBusMessage::createMethodCall(portalService, portalPath, portalSettings,
                                                       QStringLiteral("Read"));
    read << appearance << colorScheme;
    auto* answer = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QDBusVariant> reply = *call;
                if (reply.isValid()) {
                    setScheme(schemeTone(reply.value().variant()));
                }
                call->deleteLater();
            });
}

PanelHints::~PanelHints() {
    qApp->removeNativeEventFilter(this);
}

PanelClues PanelHints::clues() const {
    if (!read_) {
        read_ = PanelClues{.palette = paletteTone()};
        if (const std::optional<QColor> foreground = trayForeground(watchedTray_)) {
            // Ink that the tray wants light sits on a dark panel.
            read_->trayColours =
                toneOf(*foreground) == PanelTone::dark ? PanelTone::light : PanelTone::dark;
        }
    }
    PanelClues clues = *read_;
    clues.portal = scheme_;
    return clues;
}

void PanelHints::hintChanged() {
    read_.reset();
    emit changed();
}

PanelTone PanelHints::paletteTone() const {
    const PanelTone window = toneOf(QGuiApplication::palette().color(QPalette::Window));
    return window == PanelTone::dark || paletteFromDesktop_ ? window : PanelTone::unknown;
}

bool PanelHints::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && (event->type() == QEvent::ApplicationPaletteChange ||
                            event->type() == QEvent::ThemeChange)) {
        paletteFromDesktop_ = true;
        hintChanged();
    }
    return QObject::eventFilter(watched, event);
}

// The colours are read again, and the icon drawn again only if they made a difference.
bool PanelHints::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType == "xcb_generic_event_t" && isTrayChange(message, watchedTray_)) {
        // Once Qt has handled the event itself (a new tray: its icon docked there first), not
        // from within its dispatch.
        read_.reset();
        QMetaObject::invokeMethod(this, &PanelHints::hintChanged, Qt::QueuedConnection);
    }
    return false;
}

void PanelHints::settingChanged(const QString& group, const QString& key,
                                const QDBusVariant& value) {
    if (group == appearance && key == colorScheme) {
        setScheme(schemeTone(value.variant()));
    }
}

void PanelHints::setScheme(PanelTone tone) {
    if (tone != scheme_) {
        scheme_ = tone;
        hintChanged();
    }
}
