"""Glowdeck on a private virtual desktop with a real system tray: what the end-to-end tests,
the benchmarks (bench/harness) and the screenshots (scripts/demo) run it on.

    sys.path.insert(0, "<source>/tools")
    from desktop import Desktop, glyphs, wait_for
"""

from . import contrast, glyphs
from .processes import WaitTimeout, time_scale, wait_for
from .session import ABOUT_TITLE, PREFERENCES_TITLE, Desktop, missing_tools
from .wayland import WaylandDesktop

__all__ = ["ABOUT_TITLE", "PREFERENCES_TITLE", "Desktop", "WaitTimeout", "WaylandDesktop",
           "contrast", "glyphs", "missing_tools", "time_scale", "wait_for"]
