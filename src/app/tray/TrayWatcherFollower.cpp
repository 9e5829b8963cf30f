#include "TrayWatcherFollower.h"

#include <QDBusConnection>
#include <QSystemTrayIcon>

TrayWatcherFollower::TrayWatcherFollower(QSystemTrayIcon* icon)
    : QObject(icon),
      watcher_(QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus(),
               QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this, icon](const QString&, const QString& oldOwner, const QString& newOwner) {
                // Qt's own watch covers a name that appears; a vanished one has no one to tell.
                if (oldOwner.isEmpty() || newOwner.isEmpty() || !icon->isVisible()) {
                    return;
                }
                icon->hide();
                icon->show();
                emit shownAgain();
            });
}
