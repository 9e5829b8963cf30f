// GoogleTest entry for every test binary: a private temporary home (so settings, autostart
// entries and the simulator's lights never touch the user's), English, and the Qt application
// the tested layer needs.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTranslator>
#include <QtGlobal>

#ifdef GLOWDECK_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/glowdeck-test-home-XXXXXX"));
    if (!home.isValid()) {
        return 2;
    }
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    qputenv("XDG_STATE_HOME", (home.path() + "/.local/state").toUtf8());
    qunsetenv("LITRA_SIM_STATE");
    // English, whatever the machine's locale, for the tests and the programs they start.
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
        qunsetenv(name);
    }
    qputenv("LANG", "C.UTF-8");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TestApplication app(argc, argv);
    // English plurals ("1 device", "2 devices"), where the tested code has the translations.
    QTranslator english;
    if (english.load(QStringLiteral(":/glowdeck/i18n/glowdeck_en.qm"))) {
        QCoreApplication::installTranslator(&english);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
