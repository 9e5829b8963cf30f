#pragma once

#include <QDBusServiceWatcher>
#include <QObject>

class QSystemTrayIcon;

// Qt registers its StatusNotifierItem again when the watcher's bus name appears from nothing,
// but not when a waiting watcher takes the name over from a live one (one panel replacing
// another): the new watcher never hears of the icon. On such a hand-over this hides and shows
// the icon, and Qt registers it with the new owner as it does at start. (Qt registers the item
// under the unique name of a bus connection of its own, which we cannot reach to register it
// ourselves.) An icon in an XEmbed tray just docks again.
class TrayWatcherFollower : public QObject {
    Q_OBJECT
public:
    // Owned by the icon.
    explicit TrayWatcherFollower(QSystemTrayIcon* icon);

private:
    QDBusServiceWatcher watcher_;
};
