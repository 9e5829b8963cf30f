#!/usr/bin/env python3
"""End-to-end tests: Glowdeck in a real XEmbed tray on a virtual X display, driven by mouse
and keyboard, with the light simulator behind it.

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

from desktop import (ABOUT_TITLE, PREFERENCES_TITLE, Desktop, glyphs,  # noqa: E402
                     missing_tools, time_scale, wait_for)

OPTIONS = argparse.Namespace(glowdeck=None, litra=None, artifacts=None)
DEVICES = "devices --json"
SANITIZER_REPORT = re.compile(
    r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|ThreadSanitizer")


class Interrupted(Exception):
    """A signal ended the run; as an ordinary error it still lets the cleanups end every
    process (KeyboardInterrupt would skip them)."""


def interrupt(signal_number, _frame):
    raise Interrupted("stopped by signal %d" % signal_number)


def overlapping_runs(runs):
    """Pairs of runs whose [start, end] intervals overlap."""
    ordered = sorted(runs, key=lambda run: run[1])
    return [(a, b) for a, b in zip(ordered, ordered[1:]) if b[1] < a[2]]


class TrayTest(unittest.TestCase):
    def setUp(self):
        missing = missing_tools()
        if missing:
            self.fail("missing %s; scripts/install-deps installs them" % ", ".join(missing))
        artifacts = os.path.join(OPTIONS.artifacts, self._testMethodName) if OPTIONS.artifacts \
            else None
        self.desktop = Desktop(OPTIONS.litra, OPTIONS.glowdeck, artifacts)
        self.lights = self.desktop.lights
        self.expect_running = True
        # Run last to first: screenshot, then the health check, then every process ends.
        self.addCleanup(self.desktop.close)
        self.addCleanup(self.check_glowdeck)
        self.addCleanup(self.final_screenshot)

    def final_screenshot(self):
        if self.desktop.display is not None and self.desktop.processes[0].alive():
            self.desktop.screenshot(os.path.join(self.desktop.artifacts, "final.png"))

    def check_glowdeck(self):
        glowdeck = self.desktop.glowdeck
        if glowdeck is None:
            return
        self.assertNotRegex(glowdeck.stderr_text(), SANITIZER_REPORT)
        if self.expect_running:
            self.assertTrue(glowdeck.alive(), "Glowdeck ended with status %s:\n%s"
                            % (glowdeck.popen.returncode, glowdeck.stderr_text()))

    def start(self, is_on, **options):
        """Lights as given, then the desktop with Glowdeck; returns once the first refresh is
        on show."""
        self.lights.write(is_on)
        self.desktop.start(**options)
        self.desktop.start_glowdeck()
        self.wait_for_runs(DEVICES, 2)
        self.desktop.wait_for_icon()

    def wait_for_runs(self, arguments, count, timeout=10):
        wait_for(lambda: self.lights.count(arguments) >= count, timeout,
                 "%d runs of litra %s" % (count, arguments),
                 describe=lambda: repr(self.lights.runs()))

    def assert_quits_within_a_second(self):
        glowdeck = self.desktop.glowdeck
        chosen = self.desktop.choose("Quit")
        status = glowdeck.wait(max(0.0, chosen + 1.0 - time.monotonic()))
        self.assertIsNotNone(status, "Glowdeck still runs one second after Quit")
        self.expect_running = False
        self.assertEqual(status, 0, glowdeck.stderr_text())

    # Start

    def test_icon_appears_and_first_status_arrives_right_after_start(self):
        self.lights.write([True, True])
        self.desktop.start()
        self.desktop.start_glowdeck()
        launched = self.desktop.glowdeck.started_ns
        self.desktop.wait_for_icon()
        self.wait_for_runs(DEVICES, 2)
        self.desktop.wait_for_glyph(glyphs.ALL_ON, timeout=5)
        runs = self.lights.runs()
        self.assertEqual([run[3] for run in runs], [DEVICES, DEVICES])
        # The poll interval is an hour: these runs are the refresh at launch.
        self.assertLess((runs[0][1] - launched) / 1e9, 5 * time_scale())

    # Left click

    def test_left_click_switches_lights_and_next_refresh_shows_it(self):
        self.start([False, False])
        self.desktop.wait_for_glyph(glyphs.ALL_OFF)
        for expected, glyph in (([True, True], glyphs.ALL_ON), ([False, False], glyphs.ALL_OFF)):
            before = len(self.lights.runs())
            self.desktop.click_icon()
            wait_for(lambda: self.lights.is_on() == expected, 5, "lights %r" % expected,
                     describe=self.lights.is_on)
            self.desktop.wait_for_glyph(glyph)
            wait_for(lambda: len(self.lights.runs()) >= before + 3, 5, "the refresh after it")
            self.assertEqual([run[3] for run in self.lights.runs()[before:]],
                             ["toggle", DEVICES, DEVICES])

    def test_twenty_fast_clicks_run_one_child_at_a_time(self):
        self.start([True, False])
        self.desktop.wait_for_glyph(glyphs.MIXED)
        # Slow children leave the clicks plenty of chances to overlap them.
        self.lights.set_faults(delay_ms=25)
        self.desktop.click_icon(repeat=20, delay_ms=30)
        # Every click toggles and then refreshes: twenty toggles, forty more device queries.
        self.wait_for_runs("toggle", 20, timeout=30)
        self.wait_for_runs(DEVICES, 42, timeout=30)
        runs = self.lights.runs()
        self.assertEqual(overlapping_runs(runs), [])
        self.assertEqual(self.lights.count("toggle"), 20)
        # The first toggle switched the mixed lights off, the next nineteen alternate.
        self.assertEqual(self.lights.is_on(), [True, True])
        self.desktop.wait_for_glyph(glyphs.ALL_ON)
        self.assertEqual(self.desktop.litra_children(), {})

    # Menu

    def test_menu_dismissed_then_left_click_toggles(self):
        self.start([False, False])
        self.desktop.open_menu()
        self.desktop.close_menu()
        self.desktop.click_icon()
        wait_for(lambda: self.lights.is_on() == [True, True], 5, "the lights to switch on",
                 describe=self.lights.is_on)
        self.desktop.wait_for_glyph(glyphs.ALL_ON)

    def test_toggle_lights_from_menu(self):
        self.start([True, False])
        self.desktop.wait_for_glyph(glyphs.MIXED)
        self.desktop.choose("Toggle Lights")
        wait_for(lambda: self.lights.is_on() == [False, False], 5, "the lights to switch off",
                 describe=self.lights.is_on)
        self.desktop.wait_for_glyph(glyphs.ALL_OFF)
        self.wait_for_runs(DEVICES, 4)
        self.assertEqual([run[3] for run in self.lights.runs()],
                         [DEVICES, DEVICES, "toggle", DEVICES, DEVICES])

    def test_refresh_from_menu_shows_what_changed(self):
        self.start([False, False])
        self.desktop.wait_for_glyph(glyphs.ALL_OFF)
        cases = [
            ("all on", [True, True], {}, glyphs.ALL_ON),
            ("mixed", [False, True], {}, glyphs.MIXED),
            ("no lights", [], {}, glyphs.ALERT),
            ("all off", [False, False], {}, glyphs.ALL_OFF),
            ("failing query", [True, True],
             {"only": "devices", "fail_status": 1, "fail_stderr": "USB error"}, glyphs.ALERT),
            ("recovered", [True, True], {}, glyphs.ALL_ON),
        ]
        for name, is_on, faults, glyph in cases:
            with self.subTest(name):
                self.lights.write(is_on)
                self.lights.set_faults(**faults)
                queries = self.lights.count(DEVICES)
                self.desktop.choose("Refresh")
                self.wait_for_runs(DEVICES, queries + 2)
                self.desktop.wait_for_glyph(glyph)
        self.assertEqual(self.lights.count("toggle"), 0)

    # Preferences and About open windows of their own.

    def test_preferences_opens_its_window_once(self):
        self.start([False, False])
        for _ in range(2):
            self.desktop.choose("Preferences")
            windows = wait_for(lambda: self.desktop.windows_named(PREFERENCES_TITLE), 10,
                               "a window titled Preferences")
            self.assertEqual(len(windows), 1, windows)

    def test_about_opens_a_dialog(self):
        self.start([False, False])
        self.desktop.choose("About")
        wait_for(lambda: self.desktop.windows_named(ABOUT_TITLE), 10,
                 "a window titled About", describe=self.desktop.visible_glowdeck_windows)

    def test_tray_still_answers_with_about_and_preferences_open(self):
        self.start([False, False])
        for command, title in (("About", ABOUT_TITLE), ("Preferences", PREFERENCES_TITLE)):
            self.desktop.choose(command)
            wait_for(lambda: self.desktop.windows_named(title), 10, "a window titled " + command)
        self.desktop.click_icon()
        wait_for(lambda: self.lights.is_on() == [True, True], 5, "the lights to switch on",
                 describe=self.lights.is_on)
        self.desktop.wait_for_glyph(glyphs.ALL_ON)
        self.assert_quits_within_a_second()

    # Quit

    def test_quit_ends_with_status_0_within_a_second(self):
        self.start([False, False])
        self.assert_quits_within_a_second()

    def test_quit_while_toggle_runs(self):
        self.start([False, False])
        self.lights.set_faults(only="toggle", hang=1)
        self.desktop.click_icon()
        wait_for(lambda: ["toggle"] in self.desktop.litra_children().values(), 5,
                 "a hanging litra toggle", describe=self.desktop.litra_children)
        self.assert_quits_within_a_second()

    def test_quit_while_device_query_runs(self):
        self.start([False, False])
        self.lights.set_faults(only="devices", hang=1)
        self.desktop.choose("Refresh")
        wait_for(lambda: ["devices", "--json"] in self.desktop.litra_children().values(), 5,
                 "a hanging litra device query", describe=self.desktop.litra_children)
        self.assert_quits_within_a_second()

    # The tray host comes late, or goes and comes back.

    def test_tray_host_started_ten_seconds_after_glowdeck(self):
        self.lights.write([False, False])
        self.desktop.start(tray=False)
        glowdeck = self.desktop.start_glowdeck()
        wait_for(lambda: "waiting for a system tray" in glowdeck.stderr_text(), 10,
                 "Glowdeck to say that it waits for a tray", describe=glowdeck.stderr_text)
        self.wait_for_runs(DEVICES, 2)
        # The scenario itself: the panel comes up ten seconds after Glowdeck.
        late = glowdeck.started_ns / 1e9 + 10 - time.monotonic_ns() / 1e9
        if late > 0:
            time.sleep(late)
        self.desktop.start_tray()
        self.desktop.wait_for_icon(timeout=5)
        self.desktop.wait_for_glyph(glyphs.ALL_OFF)
        self.desktop.click_icon()
        self.desktop.wait_for_glyph(glyphs.ALL_ON)
        self.assertEqual(self.lights.is_on(), [True, True])

    def test_tray_host_killed_and_restarted(self):
        self.start([False, False])
        self.desktop.wait_for_glyph(glyphs.ALL_OFF)
        expected = [False, False]
        for how in ("killed", "ended"):
            with self.subTest(how):
                if how == "killed":
                    self.desktop.tray.popen.kill()
                self.desktop.stop_tray()
                self.assertIsNone(self.desktop.tray_icon())
                self.desktop.start_tray()
                self.desktop.wait_for_icon(timeout=5)
                self.desktop.wait_for_glyph(glyphs.ALL_ON if expected[0] else glyphs.ALL_OFF)
                self.desktop.click_icon()
                expected = [not on for on in expected]
                self.desktop.wait_for_glyph(glyphs.ALL_ON if expected[0] else glyphs.ALL_OFF)
                self.assertEqual(self.lights.is_on(), expected)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glowdeck", help="the built glowdeck executable")
    parser.add_argument("--litra", help="the light simulator beside it")
    parser.add_argument("--artifacts", help="folder for logs and screenshots of each test")
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
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, interrupt)
    program = unittest.main(argv=[sys.argv[0], "-v"] + rest, exit=False)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
