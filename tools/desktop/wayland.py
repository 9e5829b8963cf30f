"""A private Wayland desktop: headless sway with waybar's tray (or swaybar's), Glowdeck on Qt's
wayland platform, screenshots with grim and windows from sway's tree.

sway refuses to run as root, so when we are root everything here runs as an unprivileged user:
the temporary home and runtime folder are that user's, and Glowdeck and the simulator are copied
into it, so that a checkout the user cannot read (under /root, say) does not matter.
"""

import json
import os
import re
import shutil
import subprocess

from .processes import wait_for
from .session import Desktop

USER = 65534 if os.geteuid() == 0 else None  # nobody
LEAK_SUPPRESSIONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "wayland-leaks.supp")
REQUIRED_TOOLS = ["sway", "swaymsg", "swaybar", "waybar", "grim", "setpriv"]
WAYBAR_HEIGHT = 26
WAYBAR_CONFIG = {"layer": "top", "position": "top", "height": WAYBAR_HEIGHT,
                 "modules-right": ["tray"], "tray": {"icon-size": 18, "spacing": 4}}
# sway starts no bar itself; swaybar -b swaybar reads this one when a test starts it.
SWAY_CONFIG = """output HEADLESS-1 resolution %dx%d position 0 0
bar {
    id swaybar
    position bottom
    swaybar_command true
}
"""


class WaylandDesktop(Desktop):
    def __init__(self, litra, glowdeck, artifacts=None, size=(1024, 768)):
        super().__init__(litra, None, artifacts, size)
        bin_folder = os.path.join(self.folder, "bin")
        os.makedirs(os.path.join(bin_folder, "resources"))
        self.glowdeck_binary = shutil.copy(glowdeck, bin_folder)
        # The tray application is a module the program loads from beside itself.
        shutil.copy(os.path.join(os.path.dirname(glowdeck), "glowdeck-tray.so"), bin_folder)
        shutil.copy(litra, os.path.join(bin_folder, "resources"))
        self.leak_suppressions = shutil.copy(LEAK_SUPPRESSIONS, bin_folder)
        self.wayland_display = None
        if USER is None:
            return
        for folder, _, files in os.walk(self.folder):
            for name in [folder] + [os.path.join(folder, file) for file in files]:
                os.chown(name, USER, USER)
        self.lights.owner = USER
        self.prefix = ["setpriv", "--reuid=%d" % USER, "--regid=%d" % USER, "--clear-groups"]

    def showing(self):
        return self.wayland_display is not None and self.processes[1].alive()

    def hand_over(self, path):
        while USER is not None and path.startswith(self.folder + os.sep):
            os.chown(path, USER, USER)
            path = os.path.dirname(path)

    def environment(self):
        env = super().environment()
        env.pop("DISPLAY", None)
        env.update(QT_QPA_PLATFORM="wayland", WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                   WLR_RENDERER="pixman", SWAYSOCK=os.path.join(self.runtime_dir, "sway.sock"))
        if self.wayland_display:
            env["WAYLAND_DISPLAY"] = self.wayland_display
        # Sanitized builds only: what Qt's Wayland platform keeps until exit is not ours.
        env["LSAN_OPTIONS"] = ":".join(filter(None, [env.get("LSAN_OPTIONS"),
                                                     "suppressions=" + self.leak_suppressions]))
        # Whole stacks: Mesa's driver is unloaded before the report, and only the frames of the
        # EGL library that loaded it can name what it kept.
        env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"),
                                                     "fast_unwind_on_malloc=0"]))
        return env

    def start(self, tray=True, full_width=False):
        """The bus, sway and, unless told not to, waybar."""
        self.start_bus()
        self.write_config("sway/config", SWAY_CONFIG % self.size)
        self._start("sway", ["sway", "-c", os.path.join(self.home, ".config", "sway", "config")])
        self.wayland_display = wait_for(
            lambda: next((name for name in os.listdir(self.runtime_dir)
                          if re.fullmatch(r"wayland-\d+", name)), None), 10, "sway's socket")
        wait_for(lambda: self.x("swaymsg", "-t", "get_version", check=False), 10, "sway's IPC")
        self.write_config("waybar/config", json.dumps(WAYBAR_CONFIG))
        if tray:
            self.start_waybar()

    def start_waybar(self):
        self.tray = self.start_host("waybar", ["waybar"])
        return self.tray

    def start_swaybar(self):
        return self.start_host("swaybar", ["swaybar", "-b", "swaybar"])

    def windows(self):
        """Every window in sway's tree, as its JSON nodes."""
        def walk(node):
            yield node
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                yield from walk(child)
        return [node for node in walk(json.loads(self.x("swaymsg", "-t", "get_tree", "-r")))
                if node.get("pid")]

    def windows_named(self, pattern):
        """Glowdeck's windows whose title matches the regular expression."""
        return [node for node in self.windows() if node["pid"] == self.glowdeck.pid
                and re.search(pattern, node.get("name") or "")]

    def screenshot(self, path, crop=None):
        argv = ["grim", "-t", "png"]
        if crop:
            argv += ["-g", "%d,%d %dx%d" % crop]
        png = subprocess.run(self.prefix + argv + ["-"], env=self.environment(),
                             capture_output=True, check=True, timeout=20).stdout
        with open(path, "wb") as file:
            file.write(png)
