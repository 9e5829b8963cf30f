#include "LitraTool.h"

#include "LitraController.h"
#include "LitraError.h"

#include <QDir>
#include <QFileInfo>

#ifndef GLOWDECK_INSTALLED_LIBEXEC_RELATIVE
#define GLOWDECK_INSTALLED_LIBEXEC_RELATIVE "../libexec/glowdeck"
#endif
#ifndef GLOWDECK_SHIPS_LITRA
#define GLOWDECK_SHIPS_LITRA false
#endif

QStringList shippedFolders(const QString& programDir, const QString& inBuildTree) {
    const QDir dir(programDir);
    return {QDir::cleanPath(dir.filePath(inBuildTree)),
            QDir::cleanPath(dir.filePath(QStringLiteral(GLOWDECK_INSTALLED_LIBEXEC_RELATIVE)))};
}

QString locateLitraBinary(const QString& appDir) {
    for (const QString& folder : shippedFolders(appDir, QStringLiteral("resources"))) {
        QFileInfo candidate(QDir(folder).filePath(QStringLiteral("litra")));
        if (candidate.isFile()) {
            return candidate.absoluteFilePath();
        }
    }
    return {};
}

bool installShipsLitra() {
    return GLOWDECK_SHIPS_LITRA;
}

std::shared_ptr<LitraController> makeLitraController(const QString& chosenPath,
                                                     const QString& appDir, bool shipsLitra) {
    if (chosenPath.isEmpty()) {
        const QString shipped = locateLitraBinary(appDir);
        if (shipped.isEmpty() && !shipsLitra) {
            throw LitraError::noToolChosen();
        }
        return std::make_shared<LitraController>(shipped);
    }
    if (QDir::isRelativePath(chosenPath)) {
        throw GlowdeckError(
            QStringLiteral("The litra tool chosen in Preferences, %1, is not an absolute path")
                .arg(chosenPath));
    }
    return LitraController::chosen(chosenPath);
}

std::optional<QString> litraPathProblem(const QString& path) {
    const QFileInfo file(path);
    QString why;
    if (QDir::isRelativePath(path)) {
        why = QStringLiteral("the path is not absolute");
    } else if (!file.exists()) {
        why = QStringLiteral("there is no such file");
    } else if (!file.isFile()) {
        why = QStringLiteral("it is not a file");
    } else if (!file.isExecutable()) {
        why = QStringLiteral("it is not executable");
    } else {
        return std::nullopt;
    }
    return QStringLiteral("Cannot use %1 as the litra tool: %2").arg(path, why);
}

bool isSimulatorVersion(const QString& versionLine) {
    return versionLine.contains(QLatin1String("(Glowdeck light simulator)"));
}
