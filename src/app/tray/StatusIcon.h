#pragma once

#include "AppState.h"
#include "StatusPresentation.h"
#include "WheelSteps.h"

#include <QObject>

class QMenu;

// The delegate's view of its tray icon. TrayStatusIcon is the real one; tests record instead.
class StatusIcon : public QObject {
    Q_OBJECT
public:
    enum class Click { left, right };
    Q_ENUM(Click)

    using QObject::QObject;

    virtual void setPresentation(const StatusPresentation& presentation) = 0;
    // The menu the tray host shows for the icon. Not owned; it must outlive the icon.
    virtual void setContextMenu(QMenu* menu) = 0;
    // How the icon is coloured, as chosen in Preferences.
    virtual void setStyle(TrayIconStyle) {}
    // Whether the menu is shown only by Qt, which says so before it opens (an XEmbed icon's).
    // A host that mirrors the menu over D-Bus may show it without asking.
    virtual bool menuShownOnlyByQt() const { return false; }

signals:
    void clicked(StatusIcon::Click click);
    // The wheel turned over the icon.
    void turned(WheelTurn turn);
};
