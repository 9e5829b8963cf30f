// Which litra runs for each choice in Preferences and each install, and what the user sees.
#include "Await.h"
#include "LitraController.h"
#include "LitraError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

struct Choice {
    QString chosen;     // litraPath; a leading / stands for the test folder
    bool shipped;       // resources/litra beside the binary
    LightStatus shown;  // %1 is the test folder
    QString refused;    // why Preferences does not take the path; empty when it does
};

QString displayed(const LightStatus& status) {
    return status.isError() ? status.message() : QString::number(int(status.kind()));
}

TEST(LitraTool, TheChosenPathElseTheShippedTool) {
    QTemporaryDir dir;
    testsupport::writeScript(dir.path(), "app/resources/litra", R"(echo '[{"is_on": true}]')");
    testsupport::writeScript(dir.path(), "tool", R"(echo '[{"is_on": false}]')");
    testsupport::writeFile(dir.filePath("plain"), "echo '[]'\n");
    const Choice choices[] = {
        {"", true, LightStatus::allOn(), "the path is not absolute"},
        {"", false, LightStatus::error("Bundled litra binary missing"), "the path is not absolute"},
        {"/tool", true, LightStatus::allOff(), ""},
        {"/tool", false, LightStatus::allOff(), ""},
        {"/plain", true, LightStatus::error("Could not start %1/plain: Permission denied"),
         "it is not executable"},
        {"/gone", true, LightStatus::error("Could not start %1/gone: No such file or directory"),
         "there is no such file"},
        {"/app", true, LightStatus::error("Could not start %1/app: Permission denied"),
         "it is not a file"},
        {"tool", true,
         LightStatus::error("The litra tool chosen in Preferences, tool, is not an absolute path"),
         "the path is not absolute"},
    };
    for (const Choice& c : choices) {
        const QString chosen = c.chosen.startsWith('/') ? dir.path() + c.chosen : c.chosen;
        const QString appDir = dir.filePath(c.shipped ? "app" : "elsewhere");
        SCOPED_TRACE(chosen.toStdString() + (c.shipped ? ", shipped" : ", none shipped"));
        LightStatus shown;
        try {
            shown = testsupport::await(makeLitraController(chosen, appDir)->status());
        } catch (const std::exception& error) {
            shown = LightStatus::error(localizedDescription(error));
        }
        EXPECT_EQ(displayed(shown), displayed(c.shown).replace("%1", dir.path()));
        EXPECT_EQ(litraPathProblem(chosen).value_or("").toStdString(),
                  c.refused.isEmpty() ? ""
                                      : "Cannot use " + chosen.toStdString() +
                                            " as the litra tool: " + c.refused.toStdString());
    }
}

}  // namespace
