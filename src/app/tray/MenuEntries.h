#pragma once

#include "LightStatus.h"
#include "LitraDevice.h"

#include <QString>

#include <vector>

// What a status-menu item does when chosen.
enum class MenuAction { none, openAbout, openPreferences, toggleLights, toggleLight, refresh, quit };

// One line of the status menu, as plain data. It carries no shortcut: a tray menu exported over
// D-Bus cannot take one, and GTK-based hosts cannot read Qt's (Glowdeck's windows have theirs).
struct MenuEntry {
    QString title;
    MenuAction action = MenuAction::none;
    bool enabled = false;
    bool separator = false;
    // A light of its own (toggleLight): ticked when on; its serial number, also the tool tip.
    bool checkable = false;
    bool checked = false;
    QString serial;

    static MenuEntry information(QString title);
    static MenuEntry command(QString title, MenuAction action);
    static MenuEntry separatorLine();

    friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};

// The status menu for a status, a device count and the lights, top to bottom. With two lights or
// more, one item per light follows the count; one without a serial number cannot be chosen.
std::vector<MenuEntry> menuEntries(const LightStatus& status, qint64 deviceCount,
                                   const std::vector<LitraDevice>& lights = {});

// The status as the menu's first line: one line, at most 60 characters; a longer one ends in
// "…" (the tool tip and Preferences show it whole).
QString menuStatusLine(const QString& text);

