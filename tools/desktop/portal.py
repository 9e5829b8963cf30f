"""A stand-in for the XDG desktop portal's Settings, on a desktop's private session bus: it
answers Read for org.freedesktop.appearance color-scheme and sends SettingChanged when the test
sets another scheme, as a desktop does when its theme switches:

    busctl --user call org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop \\
        org.example.PortalStandIn Set u 1

    portal.py <initial scheme: 0 no preference, 1 prefer dark, 2 prefer light> <ready fd>

Needs Debian's python, with the GObject and D-Bus bindings.
"""

import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
SETTINGS = "org.freedesktop.portal.Settings"
STAND_IN = "org.example.PortalStandIn"
APPEARANCE, COLOR_SCHEME = "org.freedesktop.appearance", "color-scheme"


class Settings(dbus.service.Object):
    def __init__(self, bus, scheme):
        super().__init__(bus, PATH)
        self.scheme = scheme

    @dbus.service.method(SETTINGS, in_signature="ss", out_signature="v")
    def Read(self, namespace, key):
        if (namespace, key) != (APPEARANCE, COLOR_SCHEME):
            raise dbus.exceptions.DBusException(
                "no such setting", name="org.freedesktop.portal.Error.NotFound")
        # Read wraps the value in one variant more than SettingChanged does.
        return dbus.UInt32(self.scheme, variant_level=1)

    @dbus.service.signal(SETTINGS, signature="ssv")
    def SettingChanged(self, namespace, key, value):
        pass

    @dbus.service.method(STAND_IN, in_signature="u")
    def Set(self, scheme):
        self.scheme = int(scheme)
        self.SettingChanged(APPEARANCE, COLOR_SCHEME, dbus.UInt32(self.scheme))


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    settings = Settings(bus, int(sys.argv[1]))
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    with os.fdopen(int(sys.argv[2]), "w") as ready:
        ready.write("%s\n" % name.get_name())
    GLib.MainLoop().run()
    del settings


if __name__ == "__main__":
    main()
