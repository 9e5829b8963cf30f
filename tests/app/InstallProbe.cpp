// Copied beside an installed glowdeck by install-check.sh: launches an AppDelegate the way
// glowdeck does, with litra looked up from the probe's own place, prints what one refresh
// found, then turns on launch at login in the Preferences form and prints the Exec line of the
// entry written. Never installed.
#include "AppDelegate.h"
#include "LitraController.h"
#include "PreferencesView.h"
#include "PreferencesWindowController.h"
#include "RecordingStatusIcon.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    AppDelegate delegate([] { return std::make_shared<LitraController>(); },
                         [] { return std::make_unique<RecordingStatusIcon>(); });
    QObject::connect(&delegate, &AppDelegate::refreshFinished, &app, [&] {
        const auto& controller = delegate.controller();
        std::printf("litra: %s\n", controller ? qPrintable(controller->binaryURL()) : "none");
        std::printf("status: %s\n", qPrintable(displayText(delegate.appState().status())));
        std::printf("devices: %lld\n", static_cast<long long>(delegate.appState().deviceCount()));

        PreferencesForm& form = delegate.preferencesWindow()->view()->form();
        form.setLaunchAtLoginToggle(true);
        if (form.launchError()) {
            std::printf("autostart: %s\n", qPrintable(*form.launchError()));
        }
        QFile entry(form.loginItems().entryPath());
        if (entry.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : entry.readAll().split('\n')) {
                if (line.startsWith("Exec=")) {
                    std::printf("autostart: %s\n", line.constData());
                }
            }
        }
        QApplication::exit(0);
    });
    QTimer::singleShot(30000, &app, [] {
        std::fputs("install-probe: no refresh within 30 s\n", stderr);
        QApplication::exit(2);
    });
    QTimer::singleShot(0, &delegate, &AppDelegate::setUp);
    return QApplication::exec();
}
