// The memory one refresh takes for a device report: runs the device query once through the
// controller, folds the status as a refresh does, and prints how far the peak resident size
// rose above where it stood before, in KiB. The report comes from the litra given.
//
// Usage: glowdeck-refresh-memory LITRA

#include "LitraController.h"
#include "LitraError.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QFile>

#include <cstdio>

namespace {

// The high-water mark of this program's own memory. Not getrusage(): its figure carries the
// peak of the process that started us across exec.
long peakKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

QCoro::Task<QString> refresh(LitraController& controller) {
    try {
        const auto devices = co_await controller.devices();
        co_return QStringLiteral("%1 lights").arg(devices.size());
    } catch (const std::exception& error) {
        co_return localizedDescription(error);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: glowdeck-refresh-memory LITRA\n", stderr);
        return 2;
    }
    LitraController controller(QString::fromLocal8Bit(argv[1]));
    const long before = peakKib();
    const QString outcome = QCoro::waitFor(refresh(controller));
    std::printf("%ld %s\n", peakKib() - before, qPrintable(outcome.left(80)));
    return 0;
}
