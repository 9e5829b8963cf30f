#include "AppDelegate.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Glowdeck"));
    QApplication::setApplicationName(QStringLiteral("Glowdeck"));
    QApplication::setApplicationVersion(QStringLiteral(GLOWDECK_VERSION));
    // Glowdeck lives in the tray; closing its windows must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    AppDelegate delegate;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate,
                     &AppDelegate::applicationWillTerminate);
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return app.exec();
}
