// The glowdeck program: a verb from the command line runs here on Qt Core and the session bus
// alone; the tray application is a module, loaded only to start it.

#include "CommandLine.h"
#include "Languages.h"
#include "LitraTool.h"
#include "Verbs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include <dlfcn.h>

namespace {

constexpr const char* trayModule = "glowdeck-tray.so";

// Beside the program in the build tree, in the package's private folder when installed.
int runTray(int argc, char** argv, bool openPreferences) {
    const QString programDir =
        QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
    QByteArray tried;
    for (const QString& folder : shippedFolders(programDir, QStringLiteral("."))) {
        const QString path = QDir(folder).filePath(QLatin1String(trayModule));
        if (!QFileInfo::exists(path)) {
            continue;
        }
        // Lazily bound: of its calls into Qt, a start makes a fraction, each looked up once made.
        void* module = dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_LOCAL);
        auto* trayMain =
            module ? reinterpret_cast<int (*)(int, char**, bool)>(dlsym(module, "glowdeckTrayMain"))
                   : nullptr;
        if (trayMain) {
            return trayMain(argc, argv, openPreferences);
        }
        tried = dlerror();
        break;
    }
    std::fprintf(stderr, "glowdeck: cannot load the tray application %s: %s\n", trayModule,
                 tried.isEmpty() ? "it is not installed beside glowdeck" : tried.constData());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    Invocation invocation = parseCommandLine(arguments);
    if (invocation.kind == Invocation::Kind::tray ||
        invocation.verb == Invocation::Verb::preferences) {
        return runTray(argc, argv, invocation.kind == Invocation::Kind::verb);
    }
    // Read again with the user's language in place, for the help and the messages. The JSON of
    // `status --json` is for programs, and stays English.
    QCoreApplication app(argc, argv);
    if (!(invocation.kind == Invocation::Kind::verb && invocation.json)) {
        languages::install();
        invocation = parseCommandLine(arguments);
    }
    switch (invocation.kind) {
        case Invocation::Kind::usageError:
            std::fprintf(stderr, "glowdeck: %s\n", qPrintable(invocation.text));
            return 2;
        case Invocation::Kind::help:
            std::fputs(qPrintable(invocation.text), stdout);
            return 0;
        case Invocation::Kind::version:
            std::puts("glowdeck " GLOWDECK_VERSION);
            return 0;
        case Invocation::Kind::verb:
            return runVerb(invocation);
        case Invocation::Kind::tray:
            break;  // started above
    }
    return 0;
}
