#include "AppState.h"
#include "MenuEntries.h"
#include "StatusMenu.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace {

// One menu line as text: "-" for a separator, else "title|shortcut|enabled|action".
std::vector<QString> describe(const std::vector<MenuEntry>& entries) {
    std::vector<QString> lines;
    for (const MenuEntry& entry : entries) {
        if (entry.separator) {
            lines.push_back(QStringLiteral("-"));
            continue;
        }
        lines.push_back(QStringLiteral("%1|%2|%3|%4")
                            .arg(entry.title, entry.shortcut.toString(QKeySequence::PortableText),
                                 entry.enabled ? "on" : "off")
                            .arg(static_cast<int>(entry.action)));
    }
    return lines;
}

std::vector<QString> withInformation(std::vector<QString> information) {
    const int about = static_cast<int>(MenuAction::openAbout);
    const int preferences = static_cast<int>(MenuAction::openPreferences);
    const int toggle = static_cast<int>(MenuAction::toggleLights);
    const int refresh = static_cast<int>(MenuAction::refresh);
    const int quit = static_cast<int>(MenuAction::quit);
    std::vector<QString> lines;
    for (const QString& line : information) {
        lines.push_back(line + QStringLiteral("||off|0"));
    }
    for (QString line :
         {QStringLiteral("-"), QStringLiteral("About||on|%1").arg(about),
          QStringLiteral("Preferences|Ctrl+,|on|%1").arg(preferences), QStringLiteral("-"),
          QStringLiteral("Toggle Lights|Ctrl+T|on|%1").arg(toggle),
          QStringLiteral("Refresh|Ctrl+R|on|%1").arg(refresh),
          QStringLiteral("Quit|Ctrl+Q|on|%1").arg(quit)}) {
        lines.push_back(line);
    }
    return lines;
}

struct MenuCase {
    const char* name;
    LightStatus status;
    qint64 deviceCount;
    std::vector<QString> information;  // the disabled lines at the top
};

class Menu : public testing::TestWithParam<MenuCase> {};

TEST_P(Menu, Layout) {
    EXPECT_EQ(describe(menuEntries(GetParam().status, GetParam().deviceCount)),
              withInformation(GetParam().information));
}

INSTANTIATE_TEST_SUITE_P(
    States, Menu,
    testing::Values(
        MenuCase{"NoDevicesNoCountLine", LightStatus::noDevices(), 0, {"No Litra devices found"}},
        MenuCase{"OneDevice", LightStatus::allOn(), 1, {"All lights: On", "1 device connected"}},
        MenuCase{"TwoDevices", LightStatus::mixed(), 2, {"Lights: Mixed", "2 devices connected"}},
        MenuCase{
            "ManyDevices", LightStatus::allOff(), 12, {"All lights: Off", "12 devices connected"}},
        MenuCase{"ErrorAfterFailedQuery",
                 LightStatus::error("litra exited 1: gone\n"),
                 0,
                 {"Error: litra exited 1: gone\n"}},
        MenuCase{"ErrorWithEmptyMessage", LightStatus::error(""), 0, {"Error: "}},
        MenuCase{"FailedToggleKeepsCount",
                 LightStatus::error("x"),
                 2,
                 {"Error: x", "2 devices connected"}}),
    [](const auto& info) { return info.param.name; });

TEST(DeviceCountText, SingularOnlyForOne) {
    EXPECT_EQ(deviceCountText(1), "1 device connected");
    EXPECT_EQ(deviceCountText(2), "2 devices connected");
    EXPECT_EQ(deviceCountText(10), "10 devices connected");
    EXPECT_EQ(deviceCountText(1234567), "1234567 devices connected");
}

// The real QMenu behind the tray icon.
class StatusMenuTest : public testing::Test {
protected:
    QAction* item(const QString& text) {
        for (QAction* action : menu.menu()->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        return nullptr;
    }

    StatusMenu menu;
};

TEST_F(StatusMenuTest, HoldsWhatItWasGivenThroughLayoutChanges) {
    const std::vector<std::pair<LightStatus, qint64>> states = {
        {LightStatus::noDevices(), 0}, {LightStatus::allOn(), 2},   {LightStatus::allOff(), 2},
        {LightStatus::mixed(), 1},     {LightStatus::error(""), 0}, {LightStatus::allOn(), 3}};
    for (const auto& [status, count] : states) {
        menu.setEntries(menuEntries(status, count));
        EXPECT_EQ(describe(menu.entries()), describe(menuEntries(status, count)))
            << displayText(status).toStdString() << ", " << count;
    }
}

TEST_F(StatusMenuTest, UpdatesItemsInPlaceWhileTheLayoutStays) {
    menu.setEntries(menuEntries(LightStatus::allOn(), 2));
    QAction* statusLine = menu.menu()->actions().constFirst();
    menu.setEntries(menuEntries(LightStatus::allOff(), 3));
    EXPECT_EQ(menu.menu()->actions().constFirst(), statusLine);
    EXPECT_EQ(statusLine->text(), "All lights: Off");
}

TEST_F(StatusMenuTest, AmpersandInAStatusIsShownAsWritten) {
    menu.setEntries(menuEntries(LightStatus::error("R&D lamp & co"), 0));
    EXPECT_EQ(menu.menu()->actions().constFirst()->text(), "Error: R&&D lamp && co");
    EXPECT_EQ(menu.entries().front().title, "Error: R&D lamp & co");
}

TEST_F(StatusMenuTest, ChoosingAnItemReportsItsActionLater) {
    menu.setEntries(menuEntries(LightStatus::allOn(), 1));
    std::vector<MenuAction> chosen;
    QObject::connect(&menu, &StatusMenu::actionChosen,
                     [&](MenuAction action) { chosen.push_back(action); });

    item("Toggle Lights")->trigger();
    EXPECT_TRUE(chosen.empty()) << "reported while the menu was still handling the item";
    item("Refresh")->trigger();
    item("About")->trigger();
    item("Preferences")->trigger();
    item("Quit")->trigger();
    item("All lights: On")->trigger();  // disabled: nothing happens

    ASSERT_TRUE(testsupport::waitUntil([&] { return chosen.size() >= 5; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen, (std::vector<MenuAction>{MenuAction::toggleLights, MenuAction::refresh,
                                               MenuAction::openAbout, MenuAction::openPreferences,
                                               MenuAction::quit}));
}

}  // namespace
