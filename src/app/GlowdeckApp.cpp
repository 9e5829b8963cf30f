#include "GlowdeckApp.h"

#include "AppDelegate.h"
#include "DesktopNotifier.h"
#include "Languages.h"
#include "QuitOnSignals.h"
#include "SessionService.h"

#include <QApplication>
#include <QDBusConnection>
#include <QTimer>

#include <cstdio>

namespace {

void printError(const QString& message) {
    std::fprintf(stderr, "Glowdeck: %s\n", qPrintable(message));
    std::fflush(stderr);
}

}  // namespace

std::unique_ptr<QApplication> GlowdeckApp::makeApplication(int& argc, char** argv) {
    // An X11 window's pixels go to the server within the request rather than through shared
    // memory, which would cost a round trip to the server before every repaint of the icon.
    // Qt reads this as it connects; what Glowdeck starts does not inherit it.
    constexpr char noSharedImages[] = "QT_XCB_NO_MITSHM";
    const bool chosen = qEnvironmentVariableIsSet(noSharedImages);
    if (!chosen) {
        qputenv(noSharedImages, "1");
    }
    auto app = std::make_unique<QApplication>(argc, argv);
    if (!chosen) {
        qunsetenv(noSharedImages);
    }
    return app;
}

void GlowdeckApp::configure() {
    QApplication::setOrganizationName(QStringLiteral("Glowdeck"));
    QApplication::setApplicationName(QStringLiteral("Glowdeck"));
    QApplication::setApplicationVersion(QStringLiteral(GLOWDECK_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(GLOWDECK_APP_ID));
    // Glowdeck lives in the tray; closing its windows must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
}

int GlowdeckApp::runTray(int argc, char** argv, bool openPreferences) {
    // Read before QApplication, whose X11 plugin takes the startup id out of the environment.
    const QVariantMap platformData = platformDataFromEnvironment();
    const std::unique_ptr<QApplication> app = makeApplication(argc, argv);
    configure();
    languages::install();

    AppDelegate delegate;
    // The lights' first query runs while the bus name is claimed and the icon is made. Should
    // another Glowdeck have the name, ending the delegate ends the query.
    delegate.startFirstRefresh();
    SessionService session(delegate.appState(), delegate.commands(),
                           [&delegate] { delegate.openPreferences(); });
    try {
        if (session.claim(QDBusConnection::sessionBus(), platformData) ==
            SessionService::Outcome::handedOver) {
            return 0;
        }
    } catch (const SessionError& error) {
        printError(error.localizedDescription());
        // One that runs but does not answer still has its icon. Otherwise there is no telling
        // whether another runs, and running twice beats not running at all.
        if (error.kind() == SessionError::Kind::notAnswering) {
            return 1;
        }
    }

    DesktopNotifier notifier(
        delegate.appState(), QDBusConnection::sessionBus(), [&session](const QString& token) {
            session.ShowPreferences(token.isEmpty()
                                        ? QVariantMap()
                                        : QVariantMap{{QStringLiteral("activation-token"), token}});
        });
    QObject::connect(&delegate, &AppDelegate::refreshFinished, &notifier,
                     &DesktopNotifier::refreshFinished);
    QuitOnSignals quitOnSignals;
    QObject::connect(app.get(), &QCoreApplication::aboutToQuit, &delegate,
                     &AppDelegate::applicationWillTerminate);
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    if (openPreferences) {
        QTimer::singleShot(0, &session, [&] { session.ShowPreferences(platformData); });
    }
    return QApplication::exec();
}
