#pragma once

#include "ItemExport.h"
#include "PanelHints.h"
#include "StatusIcon.h"
#include "TrayIconColours.h"

#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>

// The icon in the system tray. When no tray is there yet (Glowdeck started before the panel),
// it says so once on standard error and appears as soon as one is. Its symbols are drawn in
// colours that stand out from the panel (TrayIconColours.h), re-drawn when the style or what the
// desktop tells of the panel changes, and named as the theme's symbolic icons where
// those are installed. The wheel over the icon is passed on as turns.
class TrayStatusIcon : public StatusIcon {
    Q_OBJECT
public:
    explicit TrayStatusIcon(QObject* parent = nullptr);
    ~TrayStatusIcon() override;

    void setPresentation(const StatusPresentation& presentation) override;
    void setContextMenu(QMenu* menu) override;
    void setStyle(TrayIconStyle style) override;
    bool menuShownOnlyByQt() const override { return !iconWindow_.isNull(); }

private:
    void checkForTray();
    void install();
    void applyIcon();
    void redrawIcon();
    QIcon iconFor(const QString& symbolName);
    void showTray();
    void watchIconWindow();
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::unique_ptr<QSystemTrayIcon> tray_;
    // Glowdeck's own StatusNotifierItem in place of Qt's; XEmbed trays get the wheel as events.
    ItemExport* itemExport_ = nullptr;
    bool exported_ = false;
    // Qt's XEmbed icon window, while there is one.
    QPointer<QWidget> iconWindow_;
    WheelReader wheel_;
    QString iconThemePath_;
    QTimer trayWait_;
    StatusPresentation presentation_;
    QString shownSymbol_;
    QPointer<QMenu> menu_;
    QHash<QString, QIcon> icons_;
    // What icons_ are drawn in.
    QColor iconInk_;
    TrayIconStyle style_ = TrayIconStyle::automatic;
    PanelHints panelHints_;
};
