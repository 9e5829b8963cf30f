// Which litra runs for each choice in Preferences and each install, and what the user sees.
#include "Await.h"
#include "DisplayText.h"
#include "FailureKind.h"
#include "LitraController.h"
#include "LitraError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <string>

namespace {

TEST(LitraTool, TheChosenPathElseTheShippedTool) {
    // The status is in English whatever the locale (here German, where the system has it), so
    // that the kind of a failure can be told from it; shown, the system's words are translated.
    const testsupport::ScopedEnv noLanguage("LANGUAGE", {});
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QTemporaryDir dir;
    testsupport::writeScript(dir.path(), "app/resources/litra", R"(echo '[{"is_on": true}]')");
    testsupport::writeScript(dir.path(), "tool", "echo '[]'");
    testsupport::writeFile(dir.filePath("plain"), "");
    // The path chosen (/ stands for the test folder), where the binary is (app/ ships a litra),
    // the status or error the user sees, and why Preferences refuses the path ("Cannot use
    // PATH as the litra tool: WHY").
    const QString rows[][4] = {
        {"", "app", "All lights: On", "the path is not absolute"},
        {"", "none", "Error: No litra tool chosen yet", "the path is not absolute"},
        {"/tool", "app", "No Litra devices found", ""},
        {"/plain", "app", "Error: Could not start /plain: Permission denied",
         "it is not executable"},
        {"/gone", "none", "Error: Could not start /gone: No such file or directory",
         "there is no such file"},
    };
    EXPECT_EQ(displayText(LightStatus::error(localizedDescription(LitraError::binaryMissing()))),
              "Error: Bundled litra binary missing");
    for (const auto& [chosen, appDir, shown, refused] : rows) {
        const QString path = chosen.startsWith('/') ? dir.path() + chosen : chosen;
        LightStatus seen;
        try {
            seen = testsupport::await(makeLitraController(path, dir.filePath(appDir))->status());
        } catch (const std::exception& error) {
            seen = LightStatus::error(localizedDescription(error));
        }
        EXPECT_EQ(displayText(seen).toStdString(),
                  QString(shown).replace(" /", " " + dir.path() + "/").toStdString());
        EXPECT_EQ(litraPathProblem(path).value_or("").section(": ", -1).toStdString(),
                  refused.toStdString());
    }
    EXPECT_EQ(failureKind("Could not start /plain: Permission denied"),
              FailureKind::toolNotExecutable);
    EXPECT_EQ(translatedError("Permission denied"), QString::fromLocal8Bit(std::strerror(EACCES)));
    std::setlocale(LC_ALL, locale.c_str());
}

}  // namespace
