"""Whole desktop shells as StatusNotifierItem hosts on a `Desktop`'s X display, for
`make test-desktops` (not part of `make test`: they are large to install and slow to start):
GNOME Shell with the AppIndicator extension, and Plasma (plasmashell, with the status notifier
watcher that kded5 loads).
"""

import os

from .processes import wait_for
from . import sni

TOP_BAR_ROWS = 40

# GSettings in a key file, so that no dconf service is needed.
GNOME_SETTINGS = """[org/gnome/shell]
enabled-extensions=['ubuntu-appindicators@ubuntu.com']
disable-user-extensions=false
"""

# xfce4-panel across the top with the tray alone; dark mode as Debian's default panel has it.
XFCE_PANEL = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="dark-mode" type="bool" value="%s"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="icon-size" type="uint" value="16"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
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


def start_plasma(desktop, dark=False):
    """kded5 for the watcher, plasmashell (its system tray) for the host, openbox for windows
    (KWin is not needed for the tray). Qt Quick draws in software: there is no GPU. `dark`
    chooses Breeze Dark, as its settings module writes it: the colour scheme and the panel's
    theme."""
    if dark:
        with open("/usr/share/color-schemes/BreezeDark.colors") as scheme:
            desktop.write_config("kdeglobals",
                                 scheme.read() + "\n[General]\nColorScheme=BreezeDark\n")
        desktop.write_config("plasmarc", "[Theme]\nname=breeze-dark\n")
    env = dict(desktop.environment(), XDG_CURRENT_DESKTOP="KDE", KDE_FULL_SESSION="true",
               KDE_SESSION_VERSION="5", QT_QUICK_BACKEND="software")
    desktop._start("openbox", ["openbox"])
    desktop._start("kded5", ["kded5"], env)
    return desktop.start_host("plasmashell", ["plasmashell"], env, 60)



def start_xfce4_panel(desktop, dark):
    """openbox and xfce4-panel, its settings from xfconfd, which the bus starts. The tray is a
    plugin in a process of its own: that process is the watcher and the host."""
    desktop.write_config("xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml",
                         XFCE_PANEL % ("true" if dark else "false"))
    desktop._start("openbox", ["openbox"])
    panel = desktop._start("xfce4-panel", ["xfce4-panel"])
    wait_for(lambda: desktop.bus.owner_pid(sni.WATCHER), 30, "the tray plugin's watcher")
    return panel
