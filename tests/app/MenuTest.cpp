#include "AppState.h"
#include "MenuEntries.h"
#include "StatusMenu.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

namespace {

TEST(StatusMenu, ShowsAStatusAsWrittenAndUpdatesItsItemsInPlace) {
    StatusMenu menu;
    menu.setEntries(menuEntries(LightStatus::allOn(), 1));
    QAction* statusLine = menu.menu()->actions().first();
    EXPECT_EQ(menu.menu()->actions().at(1)->text(), "1 device connected");
    menu.setEntries(menuEntries(LightStatus::error("R&D lamp"), 2));
    EXPECT_EQ(menu.menu()->actions().first(), statusLine) << "the layout stayed: no new items";
    EXPECT_EQ(statusLine->text(), "Error: R&&D lamp") << "an & is no mnemonic";
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
