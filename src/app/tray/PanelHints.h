#pragma once

#include "TrayIconColours.h"

#include <QDBusVariant>
#include <QObject>

// What the desktop tells of the panel that the tray icon sits on. An XEmbed tray may give the
// colour it wants its icons in (_NET_SYSTEM_TRAY_COLORS, on the window that owns the tray
// selection); otherwise the desktop's colour scheme (org.freedesktop.appearance color-scheme,
// through the XDG desktop portal, where one is on the session bus) tells whether it prefers dark.
class PanelHints : public QObject {
    Q_OBJECT
public:
    // Asks the portal, without waiting for it, and follows its changes.
    explicit PanelHints(QObject* parent = nullptr);

    // The tray's colours are read afresh at each call; the colour scheme is the portal's last
    // answer.
    PanelTone tone() const;

signals:
    // The colour scheme changed, or came for the first time.
    void changed();

private slots:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void setScheme(PanelTone tone);

    PanelTone scheme_ = PanelTone::unknown;
};
