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
        throw GlowdeckError(errorMessage(errorText::relativeChoice, chosenPath));
    }
    return LitraController::chosen(chosenPath);
}

std::optional<QString> litraPathProblem(const QString& path) {
    const QFileInfo file(path);
    const char* why = nullptr;
    if (QDir::isRelativePath(path)) {
        why = errorText::notAbsolute;
    } else if (!file.exists()) {
        why = errorText::noSuchFile;
    } else if (!file.isFile()) {
        why = errorText::notAFile;
    } else if (!file.isExecutable()) {
        why = errorText::notExecutable;
    } else {
        return std::nullopt;
    }
    return errorMessage(errorText::cannotUse, path, QString::fromLatin1(why));
}

bool isSimulatorVersion(const QString& versionLine) {
    return versionLine.contains(QLatin1String("(Glowdeck light simulator)"));
}
