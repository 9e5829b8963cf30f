#pragma once

// The program: one QApplication, one Glowdeck per session, exactly one AppDelegate,
// and no window at launch.
class GlowdeckApp {
public:
    // With no arguments runs Glowdeck and returns its exit status; a second start asks the
    // running Glowdeck to open its Preferences window and returns 0. With a verb, carries it
    // out in a QCoreApplication (no GUI) and returns its exit status; see CommandLine.h.
    static int main(int argc, char** argv);

    // The application's names and version; it keeps running with no window open. The window
    // icon is set when the first window opens.
    static void configure();

private:
    static int runTray(int argc, char** argv, bool openPreferences);
};
