#include "MenuEntries.h"

#include "AppState.h"
#include "DisplayText.h"
#include "LightEntries.h"
#include "LitraError.h"
#include "StatusWords.h"

#include <QCoreApplication>

MenuEntry MenuEntry::information(QString title) {
    MenuEntry entry;
    entry.title = std::move(title);
    return entry;
}

MenuEntry MenuEntry::command(QString title, MenuAction action) {
    MenuEntry entry;
    entry.title = std::move(title);
    entry.action = action;
    entry.enabled = true;
    return entry;
}

MenuEntry MenuEntry::separatorLine() {
    MenuEntry entry;
    entry.separator = true;
    return entry;
}

QString menuStatusLine(const QString& text) {
    return cutShort(QString(text).replace(u'\n', u' '), 64);
}

std::vector<MenuEntry> menuEntries(const LightStatus& status, qint64 deviceCount,
                                   const std::vector<LitraDevice>& lights,
                                   bool lightNeedsPermission) {
    std::vector<MenuEntry> entries;
    const StatusWords words = statusWords(status, lightNeedsPermission);
    entries.push_back(MenuEntry::information(menuStatusLine(words.headline)));
    if (!words.advice.isEmpty()) {
        entries.push_back(MenuEntry::information(menuStatusLine(words.advice)));
    }
    const bool lightsAnswer = !status.isError() && status.kind() != LightStatus::Case::noDevices;
    if (deviceCount >= 1) {
        entries.push_back(MenuEntry::information(deviceCountText(deviceCount)));
    }
    const QStringList labels = lights.size() >= 2 ? lightLabels(lights) : QStringList();
    for (std::size_t i = 0; i < std::size_t(labels.size()); ++i) {
        const LitraDevice& light = lights[i];
        MenuEntry entry = MenuEntry::command(menuStatusLine(displayable(labels[qsizetype(i)])),
                                             MenuAction::toggleLight);
        entry.serial = light.serial_number.value_or(QString());
        entry.enabled = lightsAnswer && !entry.serial.isEmpty();
        entry.checkable = true;
        entry.checked = light.is_on.value_or(false);
        entries.push_back(std::move(entry));
    }
    entries.push_back(MenuEntry::separatorLine());
    entries.push_back(MenuEntry::command(QCoreApplication::translate("StatusMenu", "About"),
                                         MenuAction::openAbout));
    entries.push_back(MenuEntry::command(QCoreApplication::translate("StatusMenu", "Preferences"),
                                         MenuAction::openPreferences));
    entries.push_back(MenuEntry::separatorLine());
    // Some tray hosts open the menu on a left click and never report the click itself, so the
    // toggle is offered here as well.
    entries.push_back(MenuEntry::command(QCoreApplication::translate("StatusMenu", "Toggle Lights"),
                                         MenuAction::toggleLights));
    entries.back().enabled = lightsAnswer;
    entries.push_back(MenuEntry::command(QCoreApplication::translate("StatusMenu", "Refresh"),
                                         MenuAction::refresh));
    entries.push_back(
        MenuEntry::command(QCoreApplication::translate("StatusMenu", "Quit"), MenuAction::quit));
    return entries;
}
