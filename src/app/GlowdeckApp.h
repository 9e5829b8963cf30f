#pragma once

#include <memory>

class QApplication;

// The tray application: one QApplication, one Glowdeck per session, exactly one AppDelegate,
// and no window at launch. It lives in a module of its own, which the glowdeck program loads
// only when it starts the tray, so that a verb from the command line loads no GUI library.
class GlowdeckApp {
public:
    // Runs Glowdeck and returns its exit status; a second start asks the running Glowdeck to
    // open its Preferences window and returns 0.
    static int runTray(int argc, char** argv, bool openPreferences);

    // Makes the QApplication, with the platform settings that suit Glowdeck's small windows.
    static std::unique_ptr<QApplication> makeApplication(int& argc, char** argv);

    // The application's names and version; it keeps running with no window open. The window
    // icon is set when the first window opens.
    static void configure();
};
