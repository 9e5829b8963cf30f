#pragma once

#include "LightStatus.h"

#include <QString>

#include <vector>

// What a status-menu item does when chosen.
enum class MenuAction { none, openAbout, openPreferences, toggleLights, refresh, quit };

// One line of the status menu, as plain data. It carries no shortcut: a tray menu exported over
// D-Bus cannot take one, and GTK-based hosts cannot read Qt's (Glowdeck's windows have theirs).
struct MenuEntry {
    QString title;
    MenuAction action = MenuAction::none;
    bool enabled = false;
    bool separator = false;

    static MenuEntry information(QString title);
    static MenuEntry command(QString title, MenuAction action);
    static MenuEntry separatorLine();

    friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};

// The status menu for a status and a device count, top to bottom.
std::vector<MenuEntry> menuEntries(const LightStatus& status, qint64 deviceCount);

// The status as the menu's first line: one line, at most 60 characters; a longer one ends in
// "…" (the tool tip and Preferences show it whole).
QString menuStatusLine(const QString& text);

// "1 device connected", "2 devices connected", ...
QString deviceCountText(qint64 deviceCount);
