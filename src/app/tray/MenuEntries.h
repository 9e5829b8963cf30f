#pragma once

#include "LightStatus.h"
#include "LitraDevice.h"

#include <QString>

#include <vector>

// What a status-menu item does when chosen.
enum class MenuAction {
    none,
    openAbout,
    openPreferences,
    toggleLights,
    toggleLight,
    refresh,
    quit
};

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

// The status menu for a status, a device count and the lights, top to bottom: the status's
// headline and what to do about it, the count, then with two lights or more one item per light.
// A light without a serial number cannot be chosen, nor can the lights be switched while none
// is found or the tool fails.
std::vector<MenuEntry> menuEntries(const LightStatus& status, qint64 deviceCount,
                                   const std::vector<LitraDevice>& lights = {},
                                   bool lightNeedsPermission = false);

// The status as the menu's first line: one line, at most 64 characters; a longer one ends in
// "…" (the tool tip and Preferences show it whole).
QString menuStatusLine(const QString& text);

