"""Glowdeck's StatusNotifierItem as a tray host sees it: over the desktop's session bus, with
busctl's JSON output.

A host learns the items from the watcher (org.kde.StatusNotifierWatcher), reads their
properties, calls Activate and SecondaryActivate on a click, and shows the menu that the item's
com.canonical.dbusmenu object describes, sending it "clicked" events.
"""

import json

from .processes import wait_for

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
BUS = ("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus")


class Bus:
    """`run(*argv, check=True)` runs a command on the desktop and returns its standard output."""

    def __init__(self, run):
        self.run = run

    def busctl(self, *args, check=True):
        """The decoded reply's data; None when the call fails and `check` is false."""
        out = self.run("busctl", "--user", "--json=short", "--", *args, check=check)
        return json.loads(out)["data"] if out.strip() else None

    def names(self):
        return [name for name in self.busctl("call", *BUS, "ListNames")[0]
                if not name.startswith(":")]

    def owner_pid(self, name):
        reply = self.busctl("call", *BUS, "GetConnectionUnixProcessID", "s", name, check=False)
        return reply[0] if reply else None

    def host_of(self, pid):
        """Whether a process of this id has registered a StatusNotifierHost."""
        prefix = "org.kde.StatusNotifierHost-%d" % pid
        return any(name.startswith(prefix) for name in self.names())

    def registered_items(self):
        """The watcher's list, or None while no watcher is on the bus."""
        return self.busctl("get-property", WATCHER, "/StatusNotifierWatcher", WATCHER,
                           "RegisteredStatusNotifierItems", check=False)

    def item_of(self, pid):
        """The item registered with the current watcher by the process of this id, or None."""
        for entry in self.registered_items() or []:
            # "service/path", "service" alone, or "service@/path" (GNOME's AppIndicator)
            service, _, path = entry.partition("/")
            service = service.rstrip("@")
            if self.owner_pid(service) == pid:
                return Item(self, service, "/" + (path or "StatusNotifierItem"))
        return None

    def wait_for_item(self, pid, timeout=10):
        return wait_for(lambda: self.item_of(pid), timeout, "the item registered with the watcher",
                        describe=lambda: "watcher %s, items %r" % (
                            self.owner_pid(WATCHER), self.registered_items()))


class Item:
    def __init__(self, bus, service, path):
        self.bus = bus
        self.service = service
        self.path = path

    def __repr__(self):
        return "Item(%s%s)" % (self.service, self.path)

    def property(self, name):
        return self.bus.busctl("get-property", self.service, self.path, ITEM, name)

    def call(self, method, *signature_and_args):
        return self.bus.busctl("call", self.service, self.path, ITEM, method,
                               *map(str, signature_and_args))

    def scroll(self, delta, orientation, times=1):
        """Calls Scroll `times` times from one shell, as quickly as a host does for a turned
        wheel."""
        call = "busctl --user call -- %s %s %s Scroll is %d %s" % (self.service, self.path, ITEM,
                                                               delta, orientation)
        self.bus.run("sh", "-c", "; ".join([call] * times))

    def activate(self):
        self.call("Activate", "ii", 0, 0)

    def secondary_activate(self):
        self.call("SecondaryActivate", "ii", 0, 0)

    def menu_call(self, method, *signature_and_args):
        return self.bus.busctl("call", self.service, self.property("Menu"), MENU, method,
                               *map(str, signature_and_args))

    def menu(self):
        """[(label, enabled)] of the menu's entries, top to bottom, separators left out, as a
        host reads them when it opens the menu."""
        self.menu_call("AboutToShow", "i", 0)
        return [(properties["label"]["data"], properties.get("enabled", {"data": True})["data"])
                for _, properties, _ in self.menu_entries()
                if properties.get("type", {}).get("data") != "separator"]

    def menu_entries(self):
        _, (_, _, children) = self.menu_call("GetLayout", "iias", 0, 1, 0)
        return [child["data"] for child in children]

    def choose(self, label):
        """Sends "clicked" for the menu entry with this label, as a host does when it is chosen."""
        ids = [entry_id for entry_id, properties, _ in self.menu_entries()
               if properties.get("label", {}).get("data") == label]
        if len(ids) != 1:
            raise AssertionError("no single menu entry %r in %r" % (label, self.menu()))
        self.menu_call("Event", "isvu", ids[0], "clicked", "i", 0, 0)
