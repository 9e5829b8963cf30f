#include "DesktopNotifier.h"

#include "AppState.h"
#include "StatusWords.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>

#include <utility>

namespace {

constexpr const char* interfaceName = "org.freedesktop.Notifications";
const QString openAction = QStringLiteral("preferences");

}  // namespace

DesktopNotifier::DesktopNotifier(AppState& appState, QDBusConnection bus,
                                 std::function<void(const QString&)> openPreferences,
                                 QObject* parent)
    : QObject(parent),
      appState_(appState),
      bus_(std::move(bus)),
      openPreferences_(std::move(openPreferences)) {
    connect(&appState_, &AppState::changed, this, &DesktopNotifier::evaluate);
    evaluate();
}

// What the server says of a notification matters only once one is sent: listening costs a
// call to the bus that waits for its answer, which a start without a notification spares.
void DesktopNotifier::listen() {
    if (std::exchange(listening_, true)) {
        return;
    }
    const QString service = QLatin1String(serviceName);
    const QString path = QLatin1String(objectPath);
    const QString interface = QLatin1String(interfaceName);
    bus_.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                 SLOT(actionInvoked(uint, QString)));
    bus_.connect(service, path, interface, QStringLiteral("ActivationToken"), this,
                 SLOT(activationToken(uint, QString)));
}

void DesktopNotifier::refreshFinished() {
    failuresInARow_ = appState_.status().isError() ? failuresInARow_ + 1 : 0;
    evaluate();
    if (attentionFor(appState_.status(), appState_.lightNeedsPermission(), failuresInARow_) ==
        Attention::none) {
        told_ = Attention::none;
    }
}

void DesktopNotifier::evaluate() {
    const Attention now =
        attentionFor(appState_.status(), appState_.lightNeedsPermission(), failuresInARow_);
    if (now == Attention::none || now == told_) {
        return;
    }
    told_ = now;
    if (appState_.notify()) {
        send();
    }
}

void DesktopNotifier::send() {
    listen();  // before the notification, so that nothing said of it is missed
    const StatusWords words = statusWords(appState_.status(), appState_.lightNeedsPermission());
    QDBusMessage notify =
        QDBusMessage::createMethodCall(QLatin1String(serviceName), QLatin1String(objectPath),
                                       QLatin1String(interfaceName), QStringLiteral("Notify"));
    const QString openTitle = tr("Open Preferences");
    QVariantMap hints{{QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName()},
                      {QStringLiteral("urgency"), QVariant::fromValue<uchar>(1)}};
    notify << QStringLiteral("Glowdeck") << notificationId_ << QGuiApplication::desktopFileName()
           << words.headline << words.advice
           << QStringList{QStringLiteral("default"), openTitle, openAction, openTitle} << hints
           << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<uint> reply = *call;
                if (reply.isValid()) {
                    notificationId_ = reply.value();  // the next one replaces it
                }
                call->deleteLater();
            });
}

void DesktopNotifier::activationToken(uint id, const QString& token) {
    if (id == notificationId_) {
        token_ = token;
    }
}

void DesktopNotifier::actionInvoked(uint id, const QString& action) {
    if (id != notificationId_ || (action != openAction && action != QLatin1String("default"))) {
        return;
    }
    openPreferences_(std::exchange(token_, QString()));
}
