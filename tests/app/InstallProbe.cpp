// Copied beside an installed glowdeck by install-check.sh: launches an AppDelegate the way
// glowdeck does, prints the litra it runs and what the first refresh found, and turns on
// launch at login in the Preferences form. Never installed.
#include "AppDelegate.h"
#include "DisplayText.h"
#include "LitraController.h"
#include "PreferencesView.h"
#include "PreferencesWindowController.h"
#include "RecordingStatusIcon.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    AppDelegate delegate([] { return makeLitraController(AppState().litraPath()); },
                         [] { return std::make_unique<RecordingStatusIcon>(); });
    QObject::connect(&delegate, &AppDelegate::refreshFinished, &app, [&] {
        const auto& litra = delegate.controller();
        std::printf("litra: %s\nstatus: %s\ndevices: %lld\n",
                    litra ? qPrintable(litra->binaryURL()) : "none",
                    qPrintable(displayText(delegate.appState().status())),
                    static_cast<long long>(delegate.appState().deviceCount()));
        delegate.preferencesWindow()->view()->form().setLaunchAtLoginToggle(true);
        QApplication::exit(0);
    });
    QTimer::singleShot(30000, &app, [] { QApplication::exit(2); });
    QTimer::singleShot(0, &delegate, &AppDelegate::setUp);
    return QApplication::exec();
}
