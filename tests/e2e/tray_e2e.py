#!/usr/bin/env python3
"""End-to-end tests: Glowdeck in a real XEmbed tray on a virtual X display, driven by mouse
and keyboard, and in real StatusNotifierItem hosts on X11 and Wayland, driven over D-Bus as a
host drives it; the light simulator behind it.

    tray_e2e.py --glowdeck build/bin/glowdeck --litra build/bin/resources/litra [TESTS...]
    tray_e2e.py --list
"""

import argparse
import os
import re
import signal
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))

from desktop import (ABOUT_TITLE, PREFERENCES_TITLE, Desktop, WaylandDesktop,  # noqa: E402
                     glyphs, missing_tools, shells, sni, time_scale, wait_for, wayland)

OPTIONS = argparse.Namespace(glowdeck=None, litra=None, artifacts=None, data_dir=None)
DEVICES = "devices --json"
REFRESH = [DEVICES]
TOGGLE = ["toggle"] + REFRESH
ON, OFF, MIXED = [True, True], [False, False], [True, False]
FAILING_QUERY = {"only": "devices", "fail_status": 1, "fail_stderr": "USB error"}
COMMANDS = [(command, True) for command in ("About", "Preferences", "Toggle Lights", "Refresh",
                                           "Quit")]
SANITIZER_REPORT = re.compile(
    r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|ThreadSanitizer")


class Interrupted(Exception):
    """A signal ended the run; as an ordinary error it still lets the cleanups end every
    process (KeyboardInterrupt would skip them)."""


def interrupt(signal_number, _frame):
    raise Interrupted("stopped by signal %d" % signal_number)


def glyph_of(is_on):
    return glyphs.ALL_ON if all(is_on) else glyphs.ALL_OFF


def menu_of(status, lights):
    """The item's menu as a host shows it: the tool tip's lines (the status, what to do) and the
    count disabled, an item per light when there are two or more (the simulator's second and
    later lights are bars), then the commands; Toggle Lights only while lights answer."""
    devices = [("%d devices connected" % lights, False)] if lights else []
    each = [("Sim Panel" if i == 0 else "Sim Bar", True) for i in range(lights)] if lights > 1 else []
    commands = [(title, enabled and (title != "Toggle Lights" or lights > 0))
                for title, enabled in COMMANDS]
    return [(line, False) for line in status.split("\n")] + devices + each + commands


class TrayTest(unittest.TestCase):
    def setUp(self):
        on_wayland = self._testMethodName.startswith("test_wayland")
        missing = missing_tools(wayland.REQUIRED_TOOLS if on_wayland else ["lxqt-panel", "openbox"])
        if missing:
            self.fail("missing %s; scripts/install-deps installs them" % ", ".join(missing))
        artifacts = os.path.join(OPTIONS.artifacts, self._testMethodName) if OPTIONS.artifacts \
            else None
        self.desktop = (WaylandDesktop if on_wayland else Desktop)(OPTIONS.litra, OPTIONS.glowdeck,
                                                                   artifacts)
        self.desktop.data_dir = OPTIONS.data_dir
        self.lights = self.desktop.lights
        self.expect_running = True
        # Run last to first: screenshot, then the health check, then every process ends.
        self.addCleanup(self.desktop.close)
        self.addCleanup(self.check_glowdeck)
        self.addCleanup(self.final_screenshot)

    def final_screenshot(self):
        if self.desktop.showing():
            self.desktop.screenshot(os.path.join(self.desktop.artifacts, "final.png"))

    def check_glowdeck(self):
        glowdeck = self.desktop.glowdeck
        if glowdeck is None:
            return
        self.assertNotRegex(glowdeck.stderr_text(), SANITIZER_REPORT)
        if self.expect_running:
            self.assertTrue(glowdeck.alive(), "Glowdeck ended with status %s:\n%s"
                            % (glowdeck.popen.returncode, glowdeck.stderr_text()))

    def start(self, is_on, **settings):
        """Lights as given, the desktop, and Glowdeck with these settings."""
        self.lights.write(is_on)
        self.desktop.start()
        return self.launch(**settings)

    def launch(self, **settings):
        """Starts Glowdeck and returns once its first refresh is on show in the tray."""
        before = len(self.lights.runs())
        self.expect_running = True
        glowdeck = self.desktop.start_glowdeck(**settings)
        self.assertEqual(self.new_runs(before, 1), REFRESH)
        self.desktop.wait_for_icon()
        return glowdeck

    def new_runs(self, before, count, timeout=10):
        """The arguments of the litra runs after the first `before`, once `count` have ended."""
        def runs():
            found = [run.arguments for run in self.lights.runs()[before:]]
            return found if len(found) >= count else None
        return wait_for(runs, timeout, "%d more litra runs" % count,
                        describe=lambda: repr(self.lights.runs()[before:]))

    def assert_quits_within_a_second(self, how="Quit"):
        glowdeck = self.desktop.glowdeck
        if how == "Quit":
            chosen = self.desktop.choose("Quit")
        else:
            chosen = time.monotonic()
            glowdeck.popen.send_signal(how)
        status = glowdeck.wait(max(0.0, chosen + 1.0 - time.monotonic()))
        self.assertIsNotNone(status, "Glowdeck still runs one second after %s" % how)
        self.expect_running = False
        self.assertEqual(status, 0, glowdeck.stderr_text())

    def test_icon_follows_clicks_and_menu_commands(self):
        glowdeck = self.start(OFF)
        # The poll interval is an hour: that refresh came from the launch, at once.
        self.assertLess((self.lights.runs()[0].start - glowdeck.started_ns) / 1e9, 5 * time_scale())
        self.desktop.wait_for_glyph(glyphs.ALL_OFF)

        def dismiss_menu_then_click():
            self.desktop.open_menu()
            self.desktop.close_menu()
            self.desktop.click_icon()

        actions = {"click": self.desktop.click_icon, "menu, Escape, click": dismiss_menu_then_click,
                   "middle click": lambda: self.desktop.click_icon(button=2),
                   "Toggle Lights": lambda: self.desktop.choose("Toggle Lights"),
                   "Refresh": lambda: self.desktop.choose("Refresh")}
        cases = [  # action, lights before it (None: as they are), faults, runs, lights, icon
            ("click", None, {}, TOGGLE, ON, glyphs.ALL_ON),
            ("click", None, {}, TOGGLE, OFF, glyphs.ALL_OFF),
            ("middle click", None, {}, TOGGLE, ON, glyphs.ALL_ON),
            ("menu, Escape, click", None, {}, TOGGLE, OFF, glyphs.ALL_OFF),
            ("Toggle Lights", MIXED, {}, TOGGLE, OFF, glyphs.ALL_OFF),
            ("Refresh", [False, True], {}, REFRESH, [False, True], glyphs.MIXED),
            ("Refresh", [], {}, REFRESH, [], glyphs.ALERT),
            ("Refresh", ON, FAILING_QUERY, REFRESH, ON, glyphs.ALERT),
            ("Refresh", ON, {}, REFRESH, ON, glyphs.ALL_ON),
        ]
        for action, before, faults, runs, after, glyph in cases:
            with self.subTest(action=action, lights=before, faults=faults):
                if before is not None:
                    self.lights.write(before)
                self.lights.set_faults(**faults)
                count = len(self.lights.runs())
                actions[action]()
                self.assertEqual(self.new_runs(count, len(runs)), runs)
                self.desktop.wait_for_glyph(glyph)
                self.assertEqual(self.lights.is_on(), after)
        # X buttons 4 and 7: the wheel up and to the right.
        self.turn_wheel(lambda sideways, notches: self.desktop.click_icon(
            button=7 if sideways else 4, repeat=notches, delay_ms=20))

    def test_fast_clicks_run_one_child_at_a_time(self):
        self.start(MIXED)
        self.desktop.wait_for_glyph(glyphs.MIXED)
        # Slow children leave the clicks plenty of chances to overlap them.
        self.lights.set_faults(delay_ms=25)
        self.desktop.click_icon(repeat=20, delay_ms=30)
        # Clicks that come while a toggle runs wait their turn; a refresh follows once none waits.
        def toggled():
            found = [run.arguments for run in self.lights.runs()[1:]]
            return found if found.count("toggle") == 20 and found[-1] == DEVICES else None
        runs = wait_for(toggled, 30, "twenty toggles and a refresh",
                        describe=lambda: repr(self.lights.runs()[1:]))
        self.assertEqual(set(runs), set(TOGGLE))
        ordered = sorted(self.lights.runs(), key=lambda run: run.start)
        self.assertEqual([(a, b) for a, b in zip(ordered, ordered[1:]) if b.start < a.end], [])
        # The first toggle switched the mixed lights off, the next nineteen alternate.
        self.assertEqual(self.lights.is_on(), ON)
        self.desktop.wait_for_glyph(glyphs.ALL_ON)
        self.assertEqual(self.desktop.litra_children(), {})

    def test_windows_open_once_where_they_can_be_reached(self):
        # Saved on a larger screen than this one: off this screen now.
        self.start(OFF, GlowdeckPreferences="@Rect(1800 1200 420 360)")
        for command in ("About", "Preferences", "Preferences"):
            self.desktop.choose(command)
        # Commands are handled in order: once the click shows, both windows have been asked for.
        self.desktop.click_icon()
        self.desktop.wait_for_glyph(glyphs.ALL_ON)
        for title in (ABOUT_TITLE, PREFERENCES_TITLE):
            windows = wait_for(lambda: self.desktop.windows_named(title), 10, "window " + title,
                               describe=self.desktop.visible_glowdeck_windows)
            self.assertEqual(len(windows), 1, windows)
        width, height = self.desktop.size
        preferences = windows[0]
        self.assertTrue(0 <= preferences.x <= width - 100 and 0 <= preferences.y <= height - 40,
                        preferences)
        self.assert_quits_within_a_second()

        self.launch(GlowdeckPreferences="@Rect(40 60 420 360)")
        self.desktop.choose("Preferences")
        windows = wait_for(lambda: self.desktop.windows_named(PREFERENCES_TITLE), 10, "window")
        self.assertEqual((windows[0].x, windows[0].y), (40, 60))

    def test_quit_while_litra_hangs_leaves_no_child(self):
        self.lights.write(OFF)
        self.desktop.start()
        # A logout (SIGTERM), Ctrl-C and a closed terminal quit as the menu's Quit does.
        for command, how in (("toggle", "Quit"), ("devices", "Quit"), ("toggle", signal.SIGTERM),
                             ("devices", signal.SIGINT), ("toggle", signal.SIGHUP)):
            with self.subTest(command=command, how=str(how)):
                self.launch()
                self.lights.set_faults(only=command, hang=1)
                if command == "toggle":
                    self.desktop.click_icon()
                else:
                    self.desktop.choose("Refresh")
                hung = wait_for(lambda: {pid for pid, argv in self.desktop.litra_children().items()
                                         if argv[0] == command}, 5, "a hanging litra " + command,
                                describe=self.desktop.litra_children)
                self.lights.set_faults()
                self.assert_quits_within_a_second(how)
                wait_for(lambda: not hung & self.desktop.litra_children().keys(), 1,
                         "the hanging litra %s to end with Glowdeck" % command,
                         describe=self.desktop.litra_children)

    def test_tray_host_late_then_killed_then_ended(self):
        self.lights.write(OFF)
        self.desktop.start(tray=False)
        glowdeck = self.desktop.start_glowdeck()
        wait_for(lambda: "waiting for a system tray" in glowdeck.stderr_text(), 10,
                 "Glowdeck to say that it waits for a tray", describe=glowdeck.stderr_text)
        self.new_runs(0, 1)
        # Lateness is the case itself: Glowdeck must keep waiting for the tray, however long.
        time.sleep(max(0.0, glowdeck.started_ns / 1e9 + 10 - time.monotonic()))
        expected = OFF
        for how in ("late", "killed", "ended"):
            with self.subTest(how):
                if how != "late":
                    if how == "killed":
                        self.desktop.tray.popen.kill()
                    self.desktop.stop_tray()
                    self.assertIsNone(self.desktop.tray_icon())
                self.desktop.start_tray()
                self.desktop.wait_for_icon(timeout=5)
                self.desktop.wait_for_glyph(glyph_of(expected))
                self.desktop.click_icon()
                expected = [not on for on in expected]
                self.desktop.wait_for_glyph(glyph_of(expected))
                self.assertEqual(self.lights.is_on(), expected)
                # The wheel reaches the icon in each tray it docks in.
                count = len(self.lights.runs())
                self.desktop.click_icon(button=4)
                self.assertEqual(self.new_runs(count, 2)[0].split()[0], "brightness")

    def test_icon_stands_out_from_dark_and_light_panels(self):
        # Nothing here tells Glowdeck the panel's colour: no portal, no tray colours.
        self.lights.write(ON)
        self.desktop.start(panel=0x202020)
        self.launch()
        for panel in (0x202020, 0xe0e0e0):
            if panel != 0x202020:
                self.desktop.stop_tray()
                self.desktop.start_tray(panel=panel)
            ink = {}
            for is_on, glyph in ((ON, glyphs.ALL_ON), (OFF, glyphs.ALL_OFF),
                                 (MIXED, glyphs.MIXED), ([], glyphs.ALERT)):
                with self.subTest(panel="#%06x" % panel, glyph=glyph):
                    self.lights.write(is_on)
                    self.desktop.choose("Refresh")
                    self.desktop.wait_for_glyph(glyph)
                    measured = self.desktop.icon_contrast()
                    self.assertGreaterEqual(measured.ratio, 3.0, measured)
                    ink[glyph] = measured.ink
            # The filled bulb for "on", the hollow one for "off", on either panel.
            self.assertGreater(ink[glyphs.ALL_ON], ink[glyphs.ALL_OFF] * 1.3, ink)

    def test_icon_follows_the_desktops_theme_at_run_time(self):
        # trayer on a dark panel; a stand-in portal and the tray's own colours tell the panel's
        # tone, rightly or not, and change while Glowdeck runs, as they do when a theme switches.
        self.lights.write(ON)
        self.desktop.start(tray=False)
        self.desktop.start_portal(1)
        self.desktop.start_tray(panel=0x202020)
        self.launch()
        portal, tray = self.desktop.switch_portal_scheme, self.desktop.set_tray_colours
        cases = [  # what happens, the ink then
            ("the portal prefers dark", lambda: None, "light"),
            ("the portal switches to light", lambda: portal(2), "dark"),
            ("the portal switches back to dark", lambda: portal(1), "light"),
            ("the tray asks for light ink too", lambda: tray(0xffffff), "light"),
            ("the portal switches to light, the tray does not follow", lambda: portal(2), "grey"),
            ("the tray asks for dark ink too", lambda: tray(0x000000), "dark"),
        ]
        for what, change, ink in cases:
            with self.subTest(what):
                change()
                self.desktop.wait_for_ink(ink)
        # Where the hints disagree, the grey stands out from the dark panel as from a light one.
        tray(0xffffff)
        self.desktop.wait_for_ink("grey")
        self.assertGreaterEqual(self.desktop.icon_contrast().ratio, 3.0)
        # The tray restarts and then sets other colours, again and again: the icon docks in each
        # one and follows its colours.
        for restart in range(10):
            with self.subTest("the tray restarts", restart=restart):
                self.desktop.stop_tray()
                self.desktop.start_tray(panel=0x202020)
                tray(0xffffff * (restart % 2))
                self.desktop.wait_for_icon(timeout=5)
                self.desktop.wait_for_ink(("dark", "grey")[restart % 2])

    # StatusNotifierItem hosts: Glowdeck's item and its menu as the host's side of D-Bus sees them.

    def start_item(self, start_host, env=None):
        """Lights off, the desktop without a tray, a host, and Glowdeck's item once registered."""
        self.lights.write(OFF)
        self.desktop.start(tray=False)
        host = start_host()
        self.desktop.start_glowdeck(env)
        self.new_runs(0, 1)
        return host, self.desktop.bus.wait_for_item(self.desktop.glowdeck.pid)

    def drive_item(self, item):
        self.assertEqual([item.property("Id"), item.property("ItemIsMenu")], ["Glowdeck", False])
        actions = {"Activate": item.activate, "SecondaryActivate": item.secondary_activate,
                   "Toggle Lights": lambda: item.choose("Toggle Lights"),
                   "Refresh": lambda: item.choose("Refresh")}
        cases = [  # action, lights before it (None: as they are), runs, lights, the item's status
            ("Activate", None, TOGGLE, ON, "All lights: On"),
            ("SecondaryActivate", None, TOGGLE, OFF, "All lights: Off"),
            ("Toggle Lights", MIXED, TOGGLE, OFF, "All lights: Off"),
            ("Refresh", [], REFRESH, [], "No Litra devices found\nPlug a light in; Glowdeck sees it at once"),
            ("Refresh", [False, True], REFRESH, [False, True], "Lights: Mixed"),
        ]
        for action, before, runs, after, status in cases:
            with self.subTest(action=action, lights=before):
                if before is not None:
                    self.lights.write(before)
                count = len(self.lights.runs())
                actions[action]()
                self.assertEqual(self.new_runs(count, len(runs)), runs)
                self.assertEqual(self.lights.is_on(), after)
                # A host shows the tool tip's text under its title, and reads the menu when it
                # opens it.
                self.assertEqual(item.property("ToolTip")[2], "Glowdeck")
                wait_for(lambda: item.property("ToolTip")[3] == status, 5, "tool tip " + status,
                         describe=lambda: repr(item.property("ToolTip")))
                self.assertEqual(item.menu(), menu_of(status, len(after)))

    def turn_wheel(self, turn, tool_tip=None):
        """Turns the wheel over the icon, `turn(sideways, notches)` turning it up (or right):
        three quick notches are one brightness command, two sideways one temperature command,
        each with its final value, which the tool tip shows while the command runs."""
        # The simulator's lights: 48 % and 50 %, 4500 K and 4000 K.
        self.lights.set_faults(only="brightness,temperature", delay_ms=int(600 * time_scale()))
        cases = [  # notches, sideways, the command, the tool tip's line, the lights after it
            (3, False, "brightness --percentage 60", "Brightness: 60 %",
             {"brightness_in_lumen": [150, 240]}),
            (2, True, "temperature --value 4400", "Temperature: 4400 K",
             {"temperature_in_kelvin": [4400, 4400]}),
        ]
        for notches, sideways, command, line, after in cases:
            with self.subTest(command):
                count = len(self.lights.runs())
                turn(sideways, notches)
                if tool_tip:
                    wait_for(lambda: line in tool_tip(), 2 * time_scale(), "tool tip " + line,
                             describe=tool_tip)
                self.assertEqual(self.new_runs(count, 2), [command, DEVICES])
                self.assertEqual(self.lights.values(*after), after)
        self.lights.set_faults()

    def quit_from_menu(self, item, quit_title="Quit"):
        item.choose(quit_title)
        self.expect_running = False
        self.assertEqual(self.desktop.glowdeck.wait(5 * time_scale()), 0,
                         self.desktop.glowdeck.stderr_text())

    @staticmethod
    def host_turn(item, qt_host=False):
        """The wheel as a host calls Scroll, a call per notch: hosts built on Qt send Qt's wheel
        delta, up and left positive; GTK hosts a notch, down and right positive."""
        def turn(sideways, notches):
            delta = (-1 if qt_host else 1) * (120 if qt_host else 1) * (1 if sideways else -1)
            orientation = "horizontal" if sideways else "vertical"
            item.scroll(delta, orientation.capitalize() if qt_host else orientation, notches)
        return turn

    def test_item_in_lxqt_panel(self):
        panel, item = self.start_item(self.desktop.start_lxqt_panel)
        self.drive_item(item)
        # A real wheel over the item, at the panel's right end; LXQt has no sideways turn, Shift
        # makes one.
        def turn(sideways, notches):
            shift = ["shift"] if sideways else []
            self.desktop.x("xdotool", "mousemove", str(self.desktop.size[0] - 14), "14",
                           *(["keydown"] + shift if shift else []), "click", "--repeat",
                           str(notches), "--delay", "20", "4", *(["keyup"] + shift if shift else []))
        self.turn_wheel(turn, lambda: item.property("ToolTip")[3])
        window = self.desktop.window_of(panel)
        self.desktop.screenshot_when_drawn(os.path.join(self.desktop.artifacts, "panel.png"),
                                           (window.x, window.y, window.width, window.height))
        self.quit_from_menu(item)

    def test_item_in_lxqt_panel_speaks_german_from_lang(self):
        _, item = self.start_item(self.desktop.start_lxqt_panel, {"LANG": "de_DE.UTF-8"})
        commands = ["Über Glowdeck", "Einstellungen", "Leuchten umschalten", "Aktualisieren",
                    "Beenden"]
        for title, lights in (("Alle Leuchten: Aus", OFF), ("Alle Leuchten: An", ON)):
            wait_for(lambda: item.property("ToolTip")[3] == title, 5, "tool tip " + title,
                     describe=lambda: repr(item.property("ToolTip")))
            self.assertEqual(item.menu(), [(title, False), ("2 Geräte verbunden", False),
                                           ("Sim Panel", True), ("Sim Bar", True)]
                             + [(command, True) for command in commands])
            if lights == OFF:
                count = len(self.lights.runs())
                item.choose("Leuchten umschalten")
                self.assertEqual(self.new_runs(count, len(TOGGLE)), TOGGLE)
        self.quit_from_menu(item, "Beenden")

    def test_wayland_item_in_waybar(self):
        _, item = self.start_item(self.desktop.start_waybar)
        self.drive_item(item)
        self.turn_wheel(self.host_turn(item), lambda: item.property("ToolTip")[3])
        item.choose("Preferences")
        wait_for(lambda: self.desktop.windows_named(PREFERENCES_TITLE), 10, "window Preferences",
                 describe=self.desktop.windows)
        self.desktop.screenshot(os.path.join(self.desktop.artifacts, "waybar.png"),
                                (0, 0, self.desktop.size[0], wayland.WAYBAR_HEIGHT))
        self.desktop.screenshot(os.path.join(self.desktop.artifacts, "preferences.png"))
        self.quit_from_menu(item)

    def test_wayland_hosts_late_restarted_and_taken_over(self):
        self.lights.write(OFF)
        self.desktop.start(tray=False)
        glowdeck = self.desktop.start_glowdeck()
        wait_for(lambda: "waiting for a system tray" in glowdeck.stderr_text(), 10,
                 "Glowdeck to say that it waits for a tray", describe=glowdeck.stderr_text)
        bus, host, expected = self.desktop.bus, None, OFF
        # swaybar gives the watcher's name up when it ends; waybar waits in line for it.
        for how in ("late", "restarted", "taken over"):
            with self.subTest(how):
                if how == "restarted":
                    self.desktop.stop_host(host)
                if how == "taken over":
                    waybar = self.desktop.start_waybar()
                    self.desktop.stop_host(host)
                    host = waybar
                else:
                    host = self.desktop.start_swaybar()
                wait_for(lambda: bus.owner_pid(sni.WATCHER) == host.pid, 5, "the watcher's name")
                item = bus.wait_for_item(glowdeck.pid, timeout=5)
                # Glowdeck's own item, with the wheel, not the one Qt registered anew.
                self.assertEqual(item.property("Category"), "Hardware")
                self.assertIn(("Toggle Lights", True), item.menu())
                item.activate()
                expected = [not on for on in expected]
                wait_for(lambda: self.lights.is_on() == expected, 5, "the lights to switch")

    # Whole desktops, for make test-desktops only: not collected, their names do not start with
    # test_.

    def desktop_gnome_shell(self):
        self.item_in_shell(shells.start_gnome_shell, qt_host=False)

    def desktop_plasma(self):
        self.item_in_shell(shells.start_plasma, qt_host=True)

    def item_in_shell(self, start_shell, qt_host):
        without = os.path.join(self.desktop.artifacts, "without-glowdeck.png")
        screen = os.path.join(self.desktop.artifacts, "screen.png")

        def start():
            start_shell(self.desktop)
            self.desktop.screenshot(without)
        _, item = self.start_item(start)
        self.drive_item(item)
        self.turn_wheel(self.host_turn(item, qt_host), lambda: item.property("ToolTip")[3])
        self.desktop.screenshot_when_changed(screen, without)
        self.quit_from_menu(item)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glowdeck", help="the built glowdeck executable")
    parser.add_argument("--litra", help="the light simulator beside it")
    parser.add_argument("--artifacts", help="folder for logs and screenshots of each test")
    parser.add_argument("--data-dir", help="the share/ folder of the tree the executable is "
                        "installed in, whose icons the hosts then find by name")
    parser.add_argument("--list", action="store_true", help="print the test names and exit")
    options, rest = parser.parse_known_args()
    if options.list:
        for name in unittest.TestLoader().getTestCaseNames(TrayTest):
            print("TrayTest." + name)
        return 0
    if not options.glowdeck or not options.litra:
        parser.error("--glowdeck and --litra are required")
    OPTIONS.glowdeck = os.path.abspath(options.glowdeck)
    OPTIONS.litra = os.path.abspath(options.litra)
    OPTIONS.artifacts = os.path.abspath(options.artifacts) if options.artifacts else None
    OPTIONS.data_dir = os.path.abspath(options.data_dir) if options.data_dir else None
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, interrupt)
    program = unittest.main(argv=[sys.argv[0], "-v"] + rest, exit=False)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
