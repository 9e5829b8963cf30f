#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class LitraController;

// Where Glowdeck's own files lie beside the program in `programDir`: `inBuildTree` in the build
// tree, the package's private folder once installed.
QStringList shippedFolders(const QString& programDir, const QString& inBuildTree);

// Where the litra shipped with Glowdeck lives for a binary in `appDir`: resources/ beside it
// (build tree), or the package's private folder (installed). Empty when neither exists.
// Never PATH, never the working directory.
QString locateLitraBinary(const QString& appDir = QCoreApplication::applicationDirPath());

// Whether this build was configured to install a litra beside Glowdeck.
bool installShipsLitra();

// The controller for the litra Glowdeck runs: the path chosen in Preferences when there is one,
// else the shipped tool. A chosen path is used as it is, so that a tool that stops working says
// why at each run. When there is neither, throws LitraError::binaryMissing if a tool should have
// been shipped, else LitraError::noToolChosen; GlowdeckError for a chosen path that is not
// absolute.
std::shared_ptr<LitraController> makeLitraController(
    const QString& chosenPath, const QString& appDir = QCoreApplication::applicationDirPath(),
    bool shipsLitra = installShipsLitra());

// Why `path` cannot be chosen as the litra tool, or none when it is an executable file.
std::optional<QString> litraPathProblem(const QString& path);

// Whether a --version line is the light simulator's, which names itself in it.
bool isSimulatorVersion(const QString& versionLine);
