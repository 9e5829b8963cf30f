"""Whole desktop shells as StatusNotifierItem hosts on a `Desktop`'s X display, for
`make test-desktops` (not part of `make test`: they are large to install and slow to start):
GNOME Shell with the AppIndicator extension, and Plasma (plasmashell, with the status notifier
watcher that kded5 loads).
"""

import os

TOP_BAR_ROWS = 40

# GSettings in a key file, so that no dconf service is needed.
GNOME_SETTINGS = """[org/gnome/shell]
enabled-extensions=['ubuntu-appindicators@ubuntu.com']
disable-user-extensions=false
"""


def start_gnome_shell(desktop):
    """GNOME Shell as the window manager and the host. It ends without a system bus, so it gets
    a private one."""
    system_bus = desktop._start_announced(
        "system-bus", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                       "--address=unix:path=" + os.path.join(desktop.runtime_dir, "system_bus"),
                       "--print-address={fd}"], "the system bus to announce its address")
    desktop.write_config("glib-2.0/settings/keyfile", GNOME_SETTINGS)
    env = dict(desktop.environment(), DBUS_SYSTEM_BUS_ADDRESS=system_bus,
               GSETTINGS_BACKEND="keyfile", XDG_CURRENT_DESKTOP="GNOME", XDG_SESSION_TYPE="x11")
    return desktop.start_host("gnome-shell", ["gnome-shell", "--x11", "--replace"], env, 60)


def start_plasma(desktop):
    """kded5 for the watcher, plasmashell (its system tray) for the host, openbox for windows
    (KWin is not needed for the tray). Qt Quick draws in software: there is no GPU."""
    env = dict(desktop.environment(), XDG_CURRENT_DESKTOP="KDE", KDE_FULL_SESSION="true",
               KDE_SESSION_VERSION="5", QT_QUICK_BACKEND="software")
    desktop._start("openbox", ["openbox"])
    desktop._start("kded5", ["kded5"], env)
    return desktop.start_host("plasmashell", ["plasmashell"], env, 60)

