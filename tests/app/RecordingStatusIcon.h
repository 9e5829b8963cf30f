#pragma once

#include "StatusIcon.h"

#include <QMenu>
#include <QPointer>

#include <functional>
#include <vector>

// Stands in for the tray: keeps what the delegate showed and lets a test click.
class RecordingStatusIcon : public StatusIcon {
public:
    void setPresentation(const StatusPresentation& presentation) override {
        presentations.push_back(presentation);
        if (onPresentation) {
            onPresentation(presentation);
        }
    }
    void setContextMenu(QMenu* newMenu) override { menu = newMenu; }
    void click(Click which) { emit clicked(which); }

    std::vector<StatusPresentation> presentations;
    std::function<void(const StatusPresentation&)> onPresentation;
    QPointer<QMenu> menu;
};
