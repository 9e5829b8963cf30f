#pragma once

#include "TrayIconColours.h"

#include <QAbstractNativeEventFilter>
#include <QDBusVariant>
#include <QObject>

#include <optional>

// What the desktop tells of the panel that the tray icon sits on, gathered in one place and
// followed at run time:
// - the colour an XEmbed tray wants its icons in (_NET_SYSTEM_TRAY_COLORS, on the window that
//   owns the tray selection), and its changes;
// - the desktop's colour scheme (org.freedesktop.appearance color-scheme, through the XDG desktop
//   portal, where one is on the session bus), and its SettingChanged signals;
// - Qt's palette, and its changes with the desktop's theme.
class PanelHints : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Asks the portal, without waiting for it, and follows every hint's changes.
    explicit PanelHints(QObject* parent = nullptr);
    ~PanelHints() override;

    // The tray's colours and the palette as they were read after the last change of either,
    // and the portal's last answer.
    PanelClues clues() const;
    PanelTone tone() const { return panelTone(clues()); }

signals:
    // A hint changed, or came for the first time.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private slots:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void setScheme(PanelTone tone);
    // Drops what was read, and says that a hint changed.
    void hintChanged();
    PanelTone paletteTone() const;

    PanelTone scheme_ = PanelTone::unknown;
    // Qt's own palette, light, is there whatever the desktop: a light palette tells of the
    // desktop only once the desktop has changed it.
    bool paletteFromDesktop_ = false;
    // The tray window whose colour changes are followed.
    mutable quint32 watchedTray_ = 0;
    // Asking the tray takes several round trips to the X server; a change of the tray or the
    // palette comes as an event, which drops it.
    mutable std::optional<PanelClues> read_;
};
