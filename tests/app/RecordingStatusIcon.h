#pragma once

#include "StatusIcon.h"

#include <QMenu>
#include <QPointer>

#include <vector>

// Stands in for the tray: keeps what the delegate showed and lets a test click.
class RecordingStatusIcon : public StatusIcon {
public:
    void setPresentation(const StatusPresentation& shown) override {
        presentations.push_back(shown);
    }
    void setContextMenu(QMenu* newMenu) override { menu = newMenu; }
    void setStyle(TrayIconStyle newStyle) override { style = newStyle; }
    bool menuShownOnlyByQt() const override { return shownOnlyByQt; }
    void click(Click which) { emit clicked(which); }

    std::vector<StatusPresentation> presentations;
    QPointer<QMenu> menu;
    TrayIconStyle style = TrayIconStyle::automatic;
    bool shownOnlyByQt = false;
};
