"""A private virtual desktop with a real system tray, for running Glowdeck where nothing of the
user's own session is seen or touched.

A `Desktop` starts an X server of its own (Xvfb on a free display number), a D-Bus session bus
of its own (so that Qt finds no StatusNotifierItem host and docks into the XEmbed tray), a tray
host (trayer) and Glowdeck with the light simulator, all in a temporary home. It clicks with
xdotool, reads windows with xwininfo/xprop and takes screenshots with ImageMagick's import.
Instead of trayer it can start openbox and lxqt-panel, a StatusNotifierItem host, whose side of
the bus `Desktop.bus` (sni.py) plays.

`Desktop.close()` ends every process started here by its id, and afterwards any descendant
still running (a hung litra child that Glowdeck left behind, say).
"""

import ctypes
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import uuid

from . import contrast, glyphs, sni
from .processes import MARKER, Process, marked_processes, read_line, wait_for
from .simlights import Lights
from .xwindows import parse_tree

REQUIRED_TOOLS = ["Xvfb", "trayer", "xdotool", "xwininfo", "xprop", "import", "dbus-daemon",
                  "busctl"]

# The commands of the tray menu, top to bottom; the information lines above them are disabled
# and skipped by keyboard navigation.
MENU_COMMANDS = ["About", "Preferences", "Toggle Lights", "Refresh", "Quit"]

# Titles of the windows behind them; Qt adds " — Glowdeck" to the title the window manager sees.
PREFERENCES_TITLE = r"^Preferences\b"
ABOUT_TITLE = r"^About\b"

# lxqt-panel with nothing but its status notifier: a StatusNotifierItem host on X11 that brings
# its own watcher.
LXQT_PANEL_CONF = """[General]
__userfile__=true
[panel1]
plugins=statusnotifier
position=Top
panelSize=28
iconSize=22
background-color=#dcdcdc
opacity=100
desktop=0
[statusnotifier]
type=statusnotifier
alignment=Right
"""


def missing_tools(extra=()):
    return [tool for tool in REQUIRED_TOOLS + list(extra) if shutil.which(tool) is None]


class Desktop:
    """Xvfb, a session bus, a tray host and Glowdeck. `artifacts` keeps the output of every
    process; without it, it goes with the temporary home."""

    def __init__(self, litra, glowdeck=None, artifacts=None, size=(1024, 768)):
        self.glowdeck_binary = glowdeck
        self.marker = uuid.uuid4().hex
        self.folder = tempfile.mkdtemp(prefix="glowdeck-desktop-")
        self.artifacts = artifacts or self.folder
        if artifacts:
            shutil.rmtree(artifacts, ignore_errors=True)  # what an earlier run left
        os.makedirs(self.artifacts, exist_ok=True)
        self.home = os.path.join(self.folder, "home")
        self.runtime_dir = os.path.join(self.folder, "runtime")
        os.makedirs(self.home)
        os.makedirs(self.runtime_dir, mode=0o700)
        self.lights = Lights(self.folder, litra)
        self.size = size
        self.processes = []
        self.display = None
        self.bus_address = None
        self.tray = None
        self.glowdeck = None
        self.prefix = []  # runs every command as another user, when set
        self.data_dir = None  # an installed tree's share/, searched before the system's
        self.bus = sni.Bus(self.x)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    # Processes

    def environment(self):
        """For anything run on this desktop; the simulator's files are left to the caller."""
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_STATE_HOME": os.path.join(self.home, ".local", "state"),
            "XDG_RUNTIME_DIR": self.runtime_dir,
            "LANG": "C.UTF-8",
            "QT_QPA_PLATFORM": "xcb",
            "NO_AT_BRIDGE": "1",
            MARKER: self.marker,
        }
        for key in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if key in os.environ:
                env[key] = os.environ[key]
        if self.data_dir is not None:
            env["XDG_DATA_DIRS"] = self.data_dir + ":/usr/local/share:/usr/share"
        if self.display is not None:
            env["DISPLAY"] = ":%d" % self.display
        if self.bus_address is not None:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address
        return env

    def _start(self, name, argv, env=None, **kwargs):
        process = Process(name, self.prefix + argv, env or self.environment(), self.artifacts,
                          **kwargs)
        self.processes.append(process)
        return process

    def _start_announced(self, name, argv, what):
        """Starts a process that writes one line (its display, its address) to the descriptor
        that "{fd}" in `argv` names, and returns that line."""
        read_end, write_end = os.pipe()
        try:
            self._start(name, [arg.format(fd=write_end) for arg in argv], pass_fds=(write_end,))
            os.close(write_end)
            write_end = None
            return read_line(read_end, 20, what)
        finally:
            if write_end is not None:
                os.close(write_end)
            os.close(read_end)

    def start_x(self):
        self.display = int(self._start_announced(
            "xvfb", ["Xvfb", "-displayfd", "{fd}", "-screen", "0", "%dx%dx24" % self.size,
                     "-nolisten", "tcp", "-noreset"], "Xvfb to announce its display"))

    def start_bus(self):
        self.bus_address = self._start_announced(
            "dbus", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                     "--address=unix:path=" + os.path.join(self.runtime_dir, "bus"),
                     "--print-address={fd}"], "the session bus to announce its address")

    def start_tray(self, full_width=False, panel=None):
        """trayer at the top right; `full_width` makes it a panel across the screen, `panel`
        (0xRRGGBB) paints it in that colour instead of trayer's own light grey."""
        width = ["--widthtype", "percent", "--width", "100"] if full_width else [
            "--widthtype", "request"]
        colour = ["--transparent", "false", "--tint", "0xdcdcdc"] if panel is None else [
            "--transparent", "true", "--alpha", "0", "--tint", "0x%06x" % panel]
        self.tray = self._start(
            "trayer",
            ["trayer", "--edge", "top", "--align", "right", *width, "--height", "24",
             "--SetDockType", "true", "--SetPartialStrut", "false", *colour, "--expand", "true"],
        )
        wait_for(self.tray_panel, 10, "the tray host's panel")
        return self.tray

    def stop_tray(self):
        status = self.tray.end()
        wait_for(lambda: self.tray_panel() is None, 5, "the tray panel to go")
        self.tray = None
        return status

    def start(self, tray=True, full_width=False, panel=None):
        """X, the bus and, unless told not to, the tray host."""
        self.start_x()
        self.start_bus()
        if tray:
            self.start_tray(full_width, panel)

    def showing(self):
        """Whether there is a screen to take a picture of."""
        return self.display is not None and self.processes[0].alive()

    def write_config(self, relative_path, text):
        """Writes a file under the home's configuration folder."""
        path = os.path.join(self.home, ".config", relative_path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as file:
            file.write(text)
        self.hand_over(path)

    def hand_over(self, path):
        """Makes a file written here, and the folders above it, the desktop user's."""

    def start_host(self, name, argv, env=None, timeout=10):
        """Starts a StatusNotifierItem host and waits until it has registered with a watcher
        (or, like GNOME Shell's AppIndicator extension, is the watcher and needs no name)."""
        host = self._start(name, argv, env)
        wait_for(lambda: self.bus.host_of(host.pid) or self.bus.owner_pid(sni.WATCHER) == host.pid,
                 timeout, name + " to register as a host", describe=lambda: repr(self.bus.names()))
        return host

    def stop_host(self, host):
        host.end()
        wait_for(lambda: not self.bus.host_of(host.pid), 5, host.name + " to leave the bus")

    def start_portal(self, scheme):
        """A stand-in desktop portal (portal.py) that prefers the colour `scheme`."""
        script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "portal.py")
        self._start_announced("portal", ["/usr/bin/python3", "-B", script, str(scheme), "{fd}"],
                              "the stand-in portal to own its name")

    def switch_portal_scheme(self, scheme):
        """The stand-in portal's scheme changes, and it sends SettingChanged."""
        self.bus.busctl("call", "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                        "org.example.PortalStandIn", "Set", "u", str(scheme))

    def tray_owner(self):
        """The window that owns the XEmbed tray selection of screen 0, or 0."""
        xlib = ctypes.CDLL("libX11.so.6")
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        xlib.XInternAtom.restype = ctypes.c_ulong
        xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        xlib.XGetSelectionOwner.restype = ctypes.c_ulong
        xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        display = xlib.XOpenDisplay(b":%d" % self.display)
        if not display:
            raise AssertionError("cannot open display :%d" % self.display)
        try:
            return xlib.XGetSelectionOwner(display,
                                           xlib.XInternAtom(display, b"_NET_SYSTEM_TRAY_S0", 0))
        finally:
            xlib.XCloseDisplay(display)

    def set_tray_colours(self, foreground):
        """The tray asks its icons to be drawn in `foreground` (0xRRGGBB), as a panel that tells
        its colours does (_NET_SYSTEM_TRAY_COLORS: foreground, error, warning, success)."""
        rgb = [((foreground >> shift) & 0xff) * 257 for shift in (16, 8, 0)]
        self.x("xprop", "-id", str(self.tray_owner()), "-f", "_NET_SYSTEM_TRAY_COLORS", "32c",
               "-set", "_NET_SYSTEM_TRAY_COLORS", ",".join(str(c) for c in rgb * 4))

    def start_lxqt_panel(self, background="#dcdcdc"):
        """openbox and lxqt-panel across the top, in the `background` colour."""
        self.write_config("lxqt/panel.conf", LXQT_PANEL_CONF.replace("#dcdcdc", background))
        self._start("openbox", ["openbox"])
        return self.start_host("lxqt-panel", ["lxqt-panel"])

    def window_of(self, process, timeout=10):
        """A shown client window of a process (the window manager may have framed it)."""
        return wait_for(lambda: next(
            (window for window in self.windows() if window.wm_class and self.is_viewable(window.id)
             and self.window_pid(window.id) == process.pid), None), timeout,
            "a window of " + process.name)

    def start_glowdeck(self, env=None, **settings):
        """Starts Glowdeck with these settings (QSettings values as text), and these variables
        added to its environment. The default poll interval of an hour keeps the polling loop out
        of the way of runs being counted."""
        settings.setdefault("pollIntervalSeconds", 3600)
        if self.data_dir is not None:
            # Installed, Glowdeck would run the litra of its own tree, not the simulator.
            settings.setdefault("litraPath", self.lights.litra)
        self.write_config("Glowdeck/Glowdeck.conf", "[General]\n" + "".join(
            "%s=%s\n" % item for item in settings.items() if item[1] is not None))
        env = dict(self.environment(), **self.lights.environment(), **(env or {}))
        self.glowdeck = self._start("glowdeck", [self.glowdeck_binary], env)
        return self.glowdeck

    def close(self):
        """Ends every process started here, last first, then whatever they left running."""
        failures = []
        for process in reversed(self.processes):
            try:
                process.end()
            except OSError as error:
                failures.append("%s (%d): %s" % (process.name, process.pid, error))
        for pid, _ in marked_processes(self.marker):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        shutil.rmtree(self.folder, ignore_errors=True)
        if failures:
            raise AssertionError("could not end " + "; ".join(failures))

    def litra_children(self):
        """The litra processes running now: process id -> arguments."""
        return {pid: argv[1:] for pid, argv in marked_processes(self.marker)
                if argv and os.path.basename(argv[0]) == "litra"}

    # X

    def x(self, *argv, check=True):
        result = subprocess.run(
            self.prefix + list(argv), env=self.environment(), capture_output=True, timeout=20
        )
        if check and result.returncode != 0:
            raise AssertionError(
                "%s failed (%d): %s" % (" ".join(argv), result.returncode,
                                        result.stderr.decode(errors="replace").strip())
            )
        return result.stdout.decode(errors="replace")

    def window_tree(self):
        """(root id, windows). A window that goes while xwininfo walks the tree makes it fail;
        then it walks again."""
        for _ in range(20):
            result = subprocess.run(["xwininfo", "-root", "-tree"], env=self.environment(),
                                    capture_output=True, timeout=20)
            if result.returncode == 0:
                return parse_tree(result.stdout.decode(errors="replace"))
        raise AssertionError("xwininfo cannot list the windows: "
                             + result.stderr.decode(errors="replace").strip())

    def windows(self):
        return self.window_tree()[1]

    def window_pid(self, wid):
        match = re.search(r"= (\d+)", self.x("xprop", "-id", str(wid), "_NET_WM_PID", check=False))
        return int(match.group(1)) if match else None

    def window_type(self, wid):
        return self.x("xprop", "-id", str(wid), "_NET_WM_WINDOW_TYPE", check=False)

    def is_viewable(self, wid):
        return "IsViewable" in self.x("xwininfo", "-id", str(wid), check=False)

    def tray_panel(self):
        """The tray host's panel window, once it is shown."""
        if self.tray is None:
            return None
        for window in self.windows():
            if (window.wm_class == ("panel", "trayer")
                    and self.window_pid(window.id) == self.tray.pid
                    and self.is_viewable(window.id)):
                return window
        return None

    def tray_icon(self):
        """Glowdeck's icon window, when it is docked in the current tray host and shown."""
        panel = self.tray_panel()
        if panel is None:
            return None
        windows = self.windows()
        parents = {window.id: window.parent for window in windows}
        for window in windows:
            if window.wm_class[-1:] != ("Glowdeck",) or window.width < 8:
                continue
            ancestor = parents.get(window.id)
            while ancestor is not None and ancestor != panel.id:
                ancestor = parents.get(ancestor)
            if ancestor == panel.id and self.is_viewable(window.id):
                return window
        return None

    def visible_glowdeck_windows(self):
        """Glowdeck's own top-level windows that are shown now (not the docked icon)."""
        if self.glowdeck is None:
            return []
        root_id, windows = self.window_tree()
        return [window for window in windows
                if window.parent == root_id and window.wm_class[-1:] == ("Glowdeck",)
                and window.width > 1 and self.is_viewable(window.id)
                and self.window_pid(window.id) == self.glowdeck.pid]

    def open_menu_window(self):
        """The tray menu while it is open: a pop-up (override-redirect) window that is not a
        tool tip."""
        for window in self.visible_glowdeck_windows():
            if ("Override Redirect State: yes" in self.x("xwininfo", "-id", str(window.id))
                    and "_NET_WM_WINDOW_TYPE_TOOLTIP" not in self.window_type(window.id)):
                return window
        return None

    def tooltip_window(self):
        for window in self.visible_glowdeck_windows():
            if "_NET_WM_WINDOW_TYPE_TOOLTIP" in self.window_type(window.id):
                return window
        return None

    def windows_named(self, pattern):
        """Glowdeck's shown top-level windows whose title matches the regular expression."""
        return [window for window in self.visible_glowdeck_windows()
                if re.search(pattern, window.name)]

    # Input

    def wait_for_icon(self, timeout=10):
        return wait_for(self.tray_icon, timeout, "Glowdeck's icon in the tray")

    def click_icon(self, button=1, repeat=1, delay_ms=0, at=None):
        """Clicks the icon, in its middle unless `at` gives a point inside it."""
        icon = self.wait_for_icon()
        x, y = at or (icon.width // 2, icon.height // 2)
        argv = ["xdotool", "mousemove", "--window", str(icon.id), str(x), str(y), "click"]
        if repeat > 1:
            argv += ["--repeat", str(repeat), "--delay", str(delay_ms)]
        self.x(*argv, str(button))

    def park_pointer(self):
        """Moves the pointer to the bottom left corner, away from the tray and any menu."""
        self.x("xdotool", "mousemove", "--sync", "0", str(self.size[1] - 1))

    def open_menu(self, at=None):
        self.click_icon(button=3, at=at)
        menu = wait_for(self.open_menu_window, 5, "the tray menu to open")
        self.park_pointer()
        return menu

    def choose(self, command, lights_answer=True):
        """Opens the tray menu and chooses a command with the keyboard, as a user can. Returns
        the time.monotonic() just before the choice was made. Without `lights_answer` (no light
        found, or the tool fails) "Toggle Lights" is disabled, and the keys pass it by."""
        self.open_menu()
        # From the bottom: with two lights or more, each has an item of its own above them.
        below = MENU_COMMANDS[MENU_COMMANDS.index(command):]
        ups = len(below) - (0 if lights_answer or "Toggle Lights" not in below else 1)
        self.x("xdotool", "key", "--delay", "30", *(["Up"] * ups))
        chosen = time.monotonic()
        self.x("xdotool", "key", "Return")
        return chosen

    def close_menu(self):
        self.x("xdotool", "key", "Escape")
        wait_for(lambda: self.open_menu_window() is None, 5, "the tray menu to close")

    # Pixels

    def screenshot(self, path, crop=None):
        """Writes the screen (or the (x, y, width, height) part of it) to an image file."""
        argv = ["import", "-window", "root"]
        if crop:
            x, y, width, height = crop
            argv += ["-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage"]
        self.x(*argv, path)

    def screenshot_when_drawn(self, path, crop, timeout=10):
        """A screenshot, taken again until the part shows more than one colour (a host draws its
        icons a moment after it learns of them)."""
        def drawn():
            self.screenshot(path, crop)
            return int(subprocess.run(["identify", "-format", "%k", path], capture_output=True,
                                      check=True, timeout=20).stdout) > 1
        wait_for(drawn, timeout, "something drawn in " + os.path.basename(path))

    def screenshot_when_changed(self, path, reference, timeout=10):
        """A screenshot, taken again until it differs from the picture in `reference`."""
        def pixels(image):
            return subprocess.run(["convert", image, "rgb:-"], capture_output=True, check=True,
                                  timeout=20).stdout
        before = pixels(reference)
        wait_for(lambda: self.screenshot(path) or pixels(path) != before, timeout,
                 "the screen to change from " + os.path.basename(reference))

    def changed_box(self, before, after, rows, top=0):
        """The box (x, y, width, height) around what differs between two screenshots in the
        right third of `rows` rows from `top` (a panel's status area, right of a top bar's clock),
        or None."""
        def image(path):
            return glyphs.decode_ppm(subprocess.run(
                ["convert", path, "-crop", "%dx%d+0+%d" % (self.size[0], rows, top), "+repage",
                 "-depth", "8", "ppm:-"], capture_output=True, check=True, timeout=20).stdout)
        first, second = image(before), image(after)
        changed = [(x, y + top) for y in range(first.height)
                   for x in range(first.width * 2 // 3, first.width)
                   if first.pixel(x, y) != second.pixel(x, y)]
        if not changed:
            return None
        xs, ys = [x for x, _ in changed], [y for _, y in changed]
        return min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1

    def icon_image(self):
        """The pixels of the icon as shown in the tray now, or None while it is not docked."""
        icon = self.tray_icon()
        if icon is None:
            return None
        data = subprocess.run(
            ["import", "-window", "root", "-crop",
             "%dx%d+%d+%d" % (icon.width, icon.height, icon.x, icon.y), "+repage", "-depth", "8",
             "ppm:-"],
            env=self.environment(), capture_output=True, check=True, timeout=20,
        ).stdout
        return glyphs.decode_ppm(data)

    def icon_glyph(self):
        image = self.icon_image()
        return None if image is None else glyphs.classify(image)

    def icon_contrast(self):
        """contrast.measure() of the icon as shown now."""
        image = self.icon_image()
        return None if image is None else contrast.measure(image)

    def wait_for_ink(self, ink, timeout=5):
        """Until contrast.ink_of() the icon is `ink`."""
        wait_for(lambda: contrast.ink_of(self.icon_contrast()) == ink, timeout,
                 "the bulb in %s ink" % ink, describe=lambda: repr(self.icon_contrast()))

    def wait_for_glyph(self, glyph, timeout=10):
        wait_for(lambda: self.icon_glyph() == glyph, timeout, "the icon to show %r" % glyph,
                 describe=lambda: repr(self.icon_glyph()))
