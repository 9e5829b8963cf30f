#include "GlowdeckApp.h"

#include "AppDelegate.h"
#include "QuitOnSignals.h"
#include "SingleInstance.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

void printError(const QString& message) {
    std::fprintf(stderr, "Glowdeck: %s\n", qPrintable(message));
    std::fflush(stderr);
}

}  // namespace

void GlowdeckApp::configure() {
    QApplication::setOrganizationName(QStringLiteral("Glowdeck"));
    QApplication::setApplicationName(QStringLiteral("Glowdeck"));
    QApplication::setApplicationVersion(QStringLiteral(GLOWDECK_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("glowdeck"));
    // Glowdeck lives in the tray; closing its windows must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
}

int GlowdeckApp::main(int argc, char** argv) {
    QApplication app(argc, argv);
    configure();

    SingleInstance instance(SingleInstance::defaultDirectory(), SingleInstance::sessionName());
    try {
        if (instance.claim() == SingleInstance::Outcome::handedOver) {
            return 0;
        }
    } catch (const SingleInstanceError& error) {
        printError(error.localizedDescription());
        // One that runs but does not answer still has its icon. Otherwise there is no telling
        // whether another runs, and running twice beats not running at all.
        if (error.kind() == SingleInstanceError::Kind::notAnswering) {
            return 1;
        }
    }

    QuitOnSignals quitOnSignals;
    AppDelegate delegate;
    QObject::connect(&instance, &SingleInstance::preferencesRequested, &delegate,
                     &AppDelegate::openPreferences);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate,
                     &AppDelegate::applicationWillTerminate);
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return QApplication::exec();
}
