"""Measures Glowdeck's tray icon in every tray host the harness has, all lights on and all off:
the contrast of the bulb against the panel and its ink (contrast.py), from screenshots. Prints
a Markdown table; the crops go to the output folder.

    python3 -B tools/desktop/measure_icon.py --glowdeck build/bin/glowdeck \\
        --litra build/bin/resources/litra [--data-dir PREFIX/share] [--out FOLDER] [HOST...]

--data-dir runs an installed tree, whose status icons the hosts may load by name. GNOME Shell
and Plasma are measured where installed (make test-desktops installs them).
"""

import argparse
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from desktop import (Desktop, WaylandDesktop, contrast, glyphs, shells, wait_for,  # noqa: E402
                     wayland)


def crop_of_window(desktop, process):
    window = desktop.window_of(process)
    return window.x, window.y, window.width, window.height


def tray_end_of_panel(desktop, process):
    """The tray at the start of a panel holding nothing else, without the panel's bottom
    border."""
    window = desktop.window_of(process)
    return window.x, window.y, 40, window.height - 1


def panel_crop(desktop, without, top, rows, last):
    """The item on a shell's panel (`rows` rows from `top`), a margin around it. The item comes
    first in what changed, or `last`: what else changed (items moved, the clock) is left out."""
    shown = os.path.join(desktop.artifacts, "with-glowdeck.png")
    x, _, width, _ = wait_for(lambda: desktop.screenshot(shown) or desktop.changed_box(
        without, shown, rows, top), 20, "the item on the panel")
    cropped = min(width + 8, rows * 3 // 4)
    return (x + width + 4 - cropped if last else x - 4), top, cropped, rows


# name: (desktop class, how the host starts: returns a function giving the crop, or None for
# the XEmbed icon itself)
HOSTS = {
    "trayer, dark panel": (Desktop, lambda d: d.start_tray(panel=0x202020) and None),
    "trayer, light panel": (Desktop, lambda d: d.start_tray(panel=0xe0e0e0) and None),
    "lxqt-panel, light": (Desktop, lambda d: (lambda p: lambda: crop_of_window(d, p))(
        d.start_lxqt_panel())),
    "lxqt-panel, dark": (Desktop, lambda d: (lambda p: lambda: crop_of_window(d, p))(
        d.start_lxqt_panel("#2a2e32"))),
    "xfce4-panel, light": (Desktop, lambda d: (lambda p: lambda: tray_end_of_panel(d, p))(
        shells.start_xfce4_panel(d, dark=False))),
    "xfce4-panel, dark": (Desktop, lambda d: (lambda p: lambda: tray_end_of_panel(d, p))(
        shells.start_xfce4_panel(d, dark=True))),
    "waybar (sway)": (WaylandDesktop, lambda d: d.start_waybar() and (
        lambda: (d.size[0] - 28, 0, 28, wayland.WAYBAR_HEIGHT - 3))),
    "swaybar (sway)": (WaylandDesktop, lambda d: d.start_swaybar() and (
        lambda: (d.size[0] - 40, d.size[1] - 24, 40, 24))),
    "GNOME Shell 43": (Desktop, "gnome-shell"),
    "Plasma 5.27": (Desktop, "plasmashell"),
    "Plasma 5.27, Breeze Dark": (Desktop, "plasmashell dark"),
}
SHELLS = {"gnome-shell": shells.start_gnome_shell, "plasmashell": shells.start_plasma,
          "plasmashell dark": lambda desktop: shells.start_plasma(desktop, dark=True)}
# Where their panels are: GNOME's top bar (the item right of the clock), Plasma's panel at the
# bottom (below its top edge, the item left of those it moves).
PANEL_ROWS = {"gnome-shell": (lambda size: 0, shells.TOP_BAR_ROWS, True),
              "plasmashell": (lambda size: size[1] - 43, 43, False),
              "plasmashell dark": (lambda size: size[1] - 43, 43, False)}


def start_host(desktop, how):
    if how not in SHELLS:
        return how(desktop)
    SHELLS[how](desktop)
    without = os.path.join(desktop.artifacts, "without-glowdeck.png")
    time.sleep(3)
    desktop.screenshot(without)
    top, rows, last = PANEL_ROWS[how]
    return lambda: panel_crop(desktop, without, top(desktop.size), rows, last)


def measure(desktop, crop, path):
    if crop is None:
        desktop.wait_for_icon()
        image = desktop.icon_image()
    else:
        desktop.screenshot(path, crop())
        image = glyphs.decode_ppm(subprocess.run(["convert", path, "-depth", "8", "ppm:-"],
                                                 capture_output=True, check=True).stdout)
    return contrast.measure(image)


def measure_host(name, options):
    kind, how = HOSTS[name]
    if how in SHELLS and not shutil.which(how.split()[0]):
        return None
    folder = os.path.join(options.out, name.split(",")[0].split(" ")[0] + "-" +
                          str(abs(hash(name)) % 1000))
    os.makedirs(folder, exist_ok=True)
    with kind(options.litra, options.glowdeck, folder) as desktop:
        desktop.data_dir = options.data_dir
        desktop.lights.write([True, True])
        desktop.start(tray=False)
        crop = start_host(desktop, how)
        desktop.start_glowdeck()
        time.sleep(3)
        rows = []
        for state, lights in (("on", [True, True]), ("off", [False, False])):
            desktop.lights.write(lights)
            desktop.x(options.glowdeck, "refresh", check=False)
            time.sleep(2)
            rows.append((state, measure(desktop, crop, os.path.join(folder, state + ".png"))))
        return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--glowdeck", required=True)
    parser.add_argument("--litra", required=True)
    parser.add_argument("--data-dir")
    parser.add_argument("--out", default="icon-measurements")
    parser.add_argument("hosts", nargs="*", default=list(HOSTS))
    options = parser.parse_args()
    options.glowdeck, options.litra = map(os.path.abspath, (options.glowdeck, options.litra))
    options.out = os.path.abspath(options.out)
    print("| Host | Panel | State | Contrast | Ink (px) |\n|---|---|---|---|---|")
    for name in options.hosts:
        try:
            rows = measure_host(name, options)
        except Exception as error:  # one host failing leaves the others measured
            print("| %s | | | failed: %s | |" % (name, str(error).splitlines()[0][:80]))
            continue
        for state, measured in rows or []:
            print("| %s | #%02x%02x%02x | %s | %.2f:1 | %d |" % (name, *measured.panel, state,
                                                              measured.ratio, measured.ink))
        sys.stdout.flush()


if __name__ == "__main__":
    main()
