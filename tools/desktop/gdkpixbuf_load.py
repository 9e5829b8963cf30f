"""Loads every icon under a folder as a GTK-based tray host does, through GdkPixbuf: it tells
the format from the file's first bytes, so an SVG whose <svg comes late is no image to it.

    gdkpixbuf_load.py <share/icons folder>   (with Debian's python, which has the bindings)
"""

import os
import sys

import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402

icons = sorted(os.path.join(folder, name) for folder, _, names in os.walk(sys.argv[1])
               for name in names)
if len(icons) < 5:
    sys.exit("only %d icons installed: %s" % (len(icons), icons))
for icon in icons:
    if GdkPixbuf.Pixbuf.get_file_info(icon)[0] is None:
        sys.exit(icon + ": GdkPixbuf does not recognise the format")
    for side in (16, 22, 24, 32, 48):
        pixbuf = GdkPixbuf.Pixbuf.new_from_file_at_size(icon, side, side)
        if max(pixbuf.get_width(), pixbuf.get_height()) != side:
            sys.exit("%s: loaded at %dx%d for %d" % (icon, pixbuf.get_width(),
                                                     pixbuf.get_height(), side))
