#include "AppState.h"
#include "DisplayText.h"
#include "LightEntries.h"
#include "MenuEntries.h"
#include "StatusMenu.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace {

// Lights of one name differ in the menu: a menu on the bus carries no tool tip.
TEST(StatusMenu, LightsOfOneNameHaveLabelsThatDiffer) {
    using Light = std::pair<const char*, const char*>;  // name, serial number; null: not given
    struct Row {
        const char* name;
        std::vector<Light> lights;
        QStringList labels;
    };
    for (const Row& row : {
             Row{"names differ", {{"Glow", "A1"}, {"Beam", "A2"}}, {"Glow", "Beam"}},
             Row{"same name",
                 {{"Bar", "SIM-0002"}, {"Bar", "SIM-0003"}, {"Panel", "SIM-0001"}},
                 {"Bar (…0002)", "Bar (…0003)", "Panel"}},
             Row{"same last four",
                 {{"Bar", "X10002"}, {"Bar", "X20002"}},
                 {"Bar (…10002)", "Bar (…20002)"}},
             Row{"short serials", {{"Bar", "7"}, {"Bar", "8"}}, {"Bar (7)", "Bar (8)"}},
             Row{"no serial, same serial",
                 {{"Bar", nullptr}, {"Bar", "S1"}, {"Bar", "S1"}},
                 {"Bar (1)", "Bar (2)", "Bar (3)"}},
             Row{"no name", {{nullptr, "S1"}, {nullptr, nullptr}}, {"S1", "Light 2"}},
         }) {
        std::vector<LitraDevice> lights;
        for (const auto& [name, serial] : row.lights) {
            LitraDevice light;
            if (name) {
                light.device_type = QString::fromUtf8(name);
            }
            if (serial) {
                light.serial_number = QString::fromUtf8(serial);
            }
            lights.push_back(light);
        }
        EXPECT_EQ(lightLabels(lights), row.labels) << row.name;
        const std::vector<MenuEntry> entries = menuEntries(LightStatus::mixed(), 2, lights);
        EXPECT_EQ(entries[2].title, row.labels[0]) << row.name;
    }
}

TEST(StatusMenu, ShowsAStatusAsWrittenAndUpdatesItsItemsInPlace) {
    StatusMenu menu;
    menu.setEntries(menuEntries(LightStatus::error("busy"), 1));
    QAction* statusLine = menu.menu()->actions().first();
    EXPECT_EQ(menu.menu()->actions().at(2)->text(), "1 device connected");
    menu.setEntries(menuEntries(LightStatus::error("R&D lamp"), 2));
    EXPECT_EQ(menu.menu()->actions().first(), statusLine) << "the layout stayed: no new items";
    EXPECT_EQ(statusLine->text(), "Error: R&&D lamp") << "an & is no mnemonic";
}

// What can be chosen: the lights only while they answer, a light only by its serial number.
TEST(StatusMenu, OffersOnlyWhatCanWork) {
    std::vector<LitraDevice> lights(3);
    lights[0].serial_number = "A";
    lights[2].serial_number = "";  // lights[1] has none
    const struct {
        LightStatus status;
        const char* enabled;  // Toggle Lights, then each light: y or n
    } rows[] = {
        {LightStatus::mixed(), "yynn"},
        {LightStatus::allOn(), "yynn"},
        {LightStatus::noDevices(), "nnnn"},
        {LightStatus::error("litra exited 1: busy"), "nnnn"},
    };
    for (const auto& row : rows) {
        std::string enabled;
        for (const MenuEntry& entry : menuEntries(row.status, 3, lights)) {
            if (entry.action == MenuAction::toggleLights ||
                entry.action == MenuAction::toggleLight) {
                enabled += entry.enabled ? 'y' : 'n';
            }
        }
        // Toggle Lights comes last; compare it first.
        std::rotate(enabled.rbegin(), enabled.rbegin() + 1, enabled.rend());
        EXPECT_EQ(enabled, row.enabled) << displayText(row.status).toStdString();
    }
}

TEST(StatusMenu, ChosenItemIsReportedOnceTheMenuIsDoneWithIt) {
    StatusMenu menu;
    menu.setEntries(menuEntries(LightStatus::allOn(), 1));
    std::vector<MenuAction> chosen;
    QObject::connect(&menu, &StatusMenu::actionChosen,
                     [&](MenuAction action) { chosen.push_back(action); });
    for (QAction* item : menu.menu()->actions()) {
        item->trigger();  // the status lines and separators choose nothing
    }
    EXPECT_TRUE(chosen.empty()) << "reported while the menu was still handling the item";
    ASSERT_TRUE(testsupport::waitUntil([&] { return chosen.size() == 5; }));
    EXPECT_EQ(chosen, (std::vector<MenuAction>{MenuAction::openAbout, MenuAction::openPreferences,
                                               MenuAction::toggleLights, MenuAction::refresh,
                                               MenuAction::quit}));
}

}  // namespace
