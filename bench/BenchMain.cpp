// glowdeck_bench: the Google Benchmark figures. Runs in a private temporary folder for the
// simulated lights and the settings, so that it never touches the user's own.

#include "BenchSupport.h"
#include "GlowdeckApp.h"
#include "LitraController.h"
#include "LitraError.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

std::string simulatorPath() {
    const QString path = locateLitraBinary();
    if (path.isEmpty()) {
        throw std::runtime_error(
            "no resources/litra beside the benchmark; build glowdeck-resources");
    }
    return path.toStdString();
}

std::string describe(const std::exception_ptr& error) {
    return localizedDescription(error).toStdString();
}

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "glowdeck_bench: cannot create a temporary folder: %s\n",
                     qPrintable(home.errorString()));
        return 1;
    }
    const QByteArray root = home.path().toLocal8Bit();
    ::setenv("LITRA_SIM_STATE", (root + "/simulated-lights.json").constData(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const std::unique_ptr<QApplication> app = GlowdeckApp::makeApplication(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Glowdeck"));
    QApplication::setApplicationName(QStringLiteral("Glowdeck"));
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
