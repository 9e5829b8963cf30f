// The tray application as a module: the glowdeck program looks this entry point up by name.
#include "GlowdeckApp.h"

extern "C" __attribute__((visibility("default"))) int glowdeckTrayMain(int argc, char** argv,
                                                                       bool openPreferences) {
    return GlowdeckApp::runTray(argc, argv, openPreferences);
}
