#include "LightAccess.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#ifndef GLOWDECK_LIGHT_PRODUCT_MATCH
#define GLOWDECK_LIGHT_PRODUCT_MATCH "*Litra*"
#endif
#ifndef GLOWDECK_UDEV_RULE_RELATIVE
#define GLOWDECK_UDEV_RULE_RELATIVE "../lib/udev/rules.d/70-glowdeck-lights.rules"
#endif

namespace {

QString deviceRoot() {
    return qEnvironmentVariable("GLOWDECK_DEVICE_ROOT");
}

QStringList hidrawNodes(const QString& root) {
    return QDir(root + QStringLiteral("/sys/class/hidraw"))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QString hidName(const QString& root, const QString& node) {
    QFile uevent(root + QStringLiteral("/sys/class/hidraw/") + node +
                 QStringLiteral("/device/uevent"));
    if (!uevent.open(QIODevice::ReadOnly)) {
        return {};
    }
    for (const QByteArray& line : uevent.readAll().split('\n')) {
        if (line.startsWith("HID_NAME=")) {
            return QString::fromUtf8(line.mid(9));
        }
    }
    return {};
}

bool isDenied(const QString& path) {
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), R_OK | W_OK, AT_EACCESS) !=
               0 &&
           (errno == EACCES || errno == EPERM);
}

bool anyLightDenied(const QString& root, const QStringList& nodes) {
    for (const QString& node : nodes) {
        if (isLightName(hidName(root, node)) && isDenied(root + QStringLiteral("/dev/") + node)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool LightAccess::lacksPermissionAfter(const LightStatus& miss) {
    const QString root = deviceRoot();
    auto seen = std::make_pair(miss, hidrawNodes(root));
    if (seen_ != seen) {
        lacking_ = anyLightDenied(root, seen.second);
        seen_ = std::move(seen);
    }
    return lacking_;
}

bool isLightName(const QString& hidName) {
    // A udev pattern: shell wildcards, with | between alternatives.
    static const QList<QRegularExpression> patterns = [] {
        QList<QRegularExpression> compiled;
        for (const QString& glob : QStringLiteral(GLOWDECK_LIGHT_PRODUCT_MATCH).split(u'|')) {
            compiled << QRegularExpression(QRegularExpression::wildcardToRegularExpression(glob));
        }
        return compiled;
    }();
    for (QString part = hidName;;) {
        for (const QRegularExpression& pattern : patterns) {
            if (pattern.match(part).hasMatch()) {
                return true;
            }
        }
        const qsizetype space = part.indexOf(u' ');
        if (space < 0) {
            return false;
        }
        part = part.mid(space + 1);
    }
}

QString shippedUdevRule(const QString& appDir) {
    return QDir::cleanPath(QDir(appDir).filePath(QStringLiteral(GLOWDECK_UDEV_RULE_RELATIVE)));
}
