#include "TestSupport.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

namespace testsupport {

QString writeScript(const QString& dir, const QString& name, const QByteArray& body) {
    QString path = QDir(dir).filePath(name);
    writeFile(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool waitUntil(const std::function<bool()>& predicate, int timeoutMs) {
    for (const QDeadlineTimer deadline(timeoutMs); !predicate() && !deadline.hasExpired();) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return predicate();
}

int overlappingRuns(const QString& logPath) {
    std::vector<std::pair<qint64, qint64>> runs;  // start and end of each, in nanoseconds
    for (const QByteArray& line : readFile(logPath).split('\n')) {
        if (const QList<QByteArray> fields = line.split(' '); fields.size() > 3) {
            runs.emplace_back(fields[1].toLongLong(), fields[2].toLongLong());
        }
    }
    std::sort(runs.begin(), runs.end());
    int overlapping = 0;
    for (std::size_t i = 1; i < runs.size(); ++i) {
        overlapping += runs[i].first < runs[i - 1].second;
    }
    return overlapping;
}

QByteArray lightsJson(const std::vector<Light>& lights) {
    QStringList report;
    for (const Light& l : lights) {
        report << QString::asprintf(
            R"({"serial_number":"T-%lld","device_type":"Test Panel","is_on":%s,)"
            R"("brightness_in_lumen":%d,"minimum_brightness_in_lumen":%d,)"
            R"("maximum_brightness_in_lumen":%d,"temperature_in_kelvin":%d,)"
            R"("minimum_temperature_in_kelvin":%d,"maximum_temperature_in_kelvin":%d})",
            static_cast<long long>(report.size() + 1), l.on ? "true" : "false", l.lumen, l.minLumen,
            l.maxLumen, l.kelvin, l.minKelvin, l.maxKelvin);
    }
    return "[" + report.join(',').toUtf8() + "]";
}

}  // namespace testsupport
