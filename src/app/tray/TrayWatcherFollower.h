#pragma once

#include <QDBusServiceWatcher>
#include <QObject>

class QSystemTrayIcon;

// Qt registers its StatusNotifierItem again when the watcher's bus name appears from nothing,
// but not when a waiting watcher takes the name over from a live one (one panel replacing
// another): the new watcher never hears of the icon. On such a hand-over this hides and shows
// the icon, and Qt registers it with the new owner as it does at start; Glowdeck's own item
// then takes the place of Qt's again (ItemExport). An icon in an XEmbed tray just docks again.
class TrayWatcherFollower : public QObject {
    Q_OBJECT
public:
    // Owned by the icon.
    explicit TrayWatcherFollower(QSystemTrayIcon* icon);

signals:
    // The icon was shown again for a new watcher: Qt registered its item anew.
    void shownAgain();

private:
    QDBusServiceWatcher watcher_;
};
