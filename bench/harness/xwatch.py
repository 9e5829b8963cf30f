"""Watches tray icons being drawn and clicks them, on an X display, through Xlib with the
DAMAGE and XTEST extensions (ctypes, no extra modules).

Every top-level window created after the watcher starts gets a damage object at once, before
anything can be drawn into it; every time such a window of a watched process is drawn into,
the watcher reads its pixels back, and a new picture is recorded with the monotonic time at
which it was seen (the clock of time.monotonic_ns() and of the simulator's log).
"""

import ctypes
import hashlib
import os
import select
import time

from ctypes import (POINTER, Structure, Union, byref, c_char_p, c_int, c_long, c_short,
                    c_ubyte, c_uint, c_ulong, c_ushort, c_void_p)

CreateNotify = 16
SubstructureNotifyMask = 1 << 19
ZPixmap = 2
AllPlanes = ~0 & 0xFFFFFFFFFFFFFFFF
XDamageReportRawRectangles = 0
XDamageNotify = 0


class XAnyEvent(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int),
                ("display", c_void_p), ("window", c_ulong)]


class XCreateWindowEvent(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int),
                ("display", c_void_p), ("parent", c_ulong), ("window", c_ulong),
                ("x", c_int), ("y", c_int), ("width", c_int), ("height", c_int),
                ("border_width", c_int), ("override_redirect", c_int)]


class XRectangle(Structure):
    _fields_ = [("x", c_short), ("y", c_short), ("width", c_ushort), ("height", c_ushort)]


class XDamageNotifyEvent(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int),
                ("display", c_void_p), ("drawable", c_ulong), ("damage", c_ulong),
                ("level", c_int), ("more", c_int), ("timestamp", c_ulong),
                ("area", XRectangle), ("geometry", XRectangle)]


class XEvent(Union):
    _fields_ = [("type", c_int), ("xany", XAnyEvent), ("xcreatewindow", XCreateWindowEvent),
                ("xdamage", XDamageNotifyEvent), ("pad", c_long * 24)]


class XImage(Structure):
    _fields_ = [("width", c_int), ("height", c_int), ("xoffset", c_int), ("format", c_int),
                ("data", c_void_p), ("byte_order", c_int), ("bitmap_unit", c_int),
                ("bitmap_bit_order", c_int), ("bitmap_pad", c_int), ("depth", c_int),
                ("bytes_per_line", c_int), ("bits_per_pixel", c_int)]


class XErrorEvent(Structure):
    _fields_ = [("type", c_int), ("display", c_void_p), ("resourceid", c_ulong),
                ("serial", c_ulong), ("error_code", c_ubyte), ("request_code", c_ubyte),
                ("minor_code", c_ubyte)]


ErrorHandler = ctypes.CFUNCTYPE(c_int, c_void_p, POINTER(XErrorEvent))


def _load(*names):
    errors = []
    for name in names:
        try:
            return ctypes.CDLL(name)
        except OSError as error:
            errors.append(str(error))
    raise RuntimeError("cannot load " + " or ".join(names) + ": " + "; ".join(errors))


class XWatch:
    def __init__(self, display):
        self.x = _load("libX11.so.6")
        self.damage = _load("libXdamage.so.1")
        self.xtest = _load("libXtst.so.6")
        x = self.x
        x.XOpenDisplay.restype = c_void_p
        x.XOpenDisplay.argtypes = [c_char_p]
        x.XDefaultRootWindow.restype = c_ulong
        x.XDefaultRootWindow.argtypes = [c_void_p]
        x.XSelectInput.argtypes = [c_void_p, c_ulong, c_long]
        x.XNextEvent.argtypes = [c_void_p, POINTER(XEvent)]
        x.XPending.argtypes = [c_void_p]
        x.XConnectionNumber.argtypes = [c_void_p]
        x.XFlush.argtypes = [c_void_p]
        x.XSync.argtypes = [c_void_p, c_int]
        x.XGetImage.restype = POINTER(XImage)
        x.XGetImage.argtypes = [c_void_p, c_ulong, c_int, c_int, c_uint, c_uint, c_ulong, c_int]
        x.XFree.argtypes = [c_void_p]
        x.XInternAtom.restype = c_ulong
        x.XInternAtom.argtypes = [c_void_p, c_char_p, c_int]
        x.XGetWindowProperty.argtypes = [c_void_p, c_ulong, c_ulong, c_long, c_long, c_int,
                                         c_ulong, POINTER(c_ulong), POINTER(c_int),
                                         POINTER(c_ulong), POINTER(c_ulong),
                                         POINTER(c_void_p)]
        x.XGetGeometry.argtypes = [c_void_p, c_ulong, POINTER(c_ulong), POINTER(c_int),
                                   POINTER(c_int), POINTER(c_uint), POINTER(c_uint),
                                   POINTER(c_uint), POINTER(c_uint)]
        x.XTranslateCoordinates.argtypes = [c_void_p, c_ulong, c_ulong, c_int, c_int,
                                            POINTER(c_int), POINTER(c_int), POINTER(c_ulong)]
        x.XGetSelectionOwner.restype = c_ulong
        x.XGetSelectionOwner.argtypes = [c_void_p, c_ulong]
        x.XSetErrorHandler.argtypes = [ErrorHandler]
        self.damage.XDamageQueryExtension.argtypes = [c_void_p, POINTER(c_int), POINTER(c_int)]
        self.damage.XDamageCreate.restype = c_ulong
        self.damage.XDamageCreate.argtypes = [c_void_p, c_ulong, c_int]
        self.xtest.XTestFakeButtonEvent.argtypes = [c_void_p, c_uint, c_int, c_ulong]
        self.xtest.XTestFakeMotionEvent.argtypes = [c_void_p, c_int, c_int, c_int, c_ulong]

        self.display = x.XOpenDisplay(display.encode())
        if not self.display:
            raise RuntimeError("cannot open the X display " + display)
        self.errors = 0

        def on_error(_display, _event):
            # A window that went away between its event and our request: not a failure.
            self.errors += 1
            return 0

        self._on_error = ErrorHandler(on_error)  # kept alive as long as Xlib may call it
        x.XSetErrorHandler(self._on_error)
        event_base, error_base = c_int(), c_int()
        if not self.damage.XDamageQueryExtension(self.display, byref(event_base),
                                                 byref(error_base)):
            raise RuntimeError("the X server has no DAMAGE extension")
        self.damage_event = event_base.value + XDamageNotify
        self.root = x.XDefaultRootWindow(self.display)
        self.pid_atom = x.XInternAtom(self.display, b"_NET_WM_PID", 0)
        self.fd = x.XConnectionNumber(self.display)
        self.damaged = {}   # window -> damage object
        self.owners = {}    # window -> process id (from _NET_WM_PID)
        self.pictures = {}  # window -> digest of the last picture seen
        self.watched = {}   # process id -> list of (monotonic ns, window, digest)
        x.XSelectInput(self.display, self.root, SubstructureNotifyMask)
        x.XSync(self.display, 0)

    # -- the tray --------------------------------------------------------------------------

    def tray_owner(self, screen=0):
        atom = self.x.XInternAtom(self.display, b"_NET_SYSTEM_TRAY_S%d" % screen, 0)
        return self.x.XGetSelectionOwner(self.display, atom)

    # -- events ------------------------------------------------------------------------------

    def watch(self, pid):
        """Records the pictures drawn into the windows of this process from now on."""
        self.watched.setdefault(pid, [])

    def forget(self, pid):
        self.watched.pop(pid, None)
        for window in [w for w, owner in self.owners.items() if owner == pid]:
            self.owners.pop(window, None)
            self.damaged.pop(window, None)
            self.pictures.pop(window, None)

    def pictures_of(self, pid):
        return self.watched.get(pid, [])

    def pump(self, until_ns):
        """Handles events until the monotonic time until_ns."""
        event = XEvent()
        while True:
            if not self.x.XPending(self.display):
                left = (until_ns - time.monotonic_ns()) / 1e9
                if left <= 0:
                    return
                readable, _, _ = select.select([self.fd], [], [], left)
                if not readable:
                    return
                if not self.x.XPending(self.display):
                    continue
            self.x.XNextEvent(self.display, byref(event))
            seen = time.monotonic_ns()
            if event.type == CreateNotify:
                # Window ids are reused once their client has gone: start afresh.
                window = event.xcreatewindow.window
                self.owners.pop(window, None)
                self.pictures.pop(window, None)
                self.damaged[window] = self.damage.XDamageCreate(
                    self.display, window, XDamageReportRawRectangles)
                self.x.XFlush(self.display)
            elif event.type == self.damage_event:
                self._drawn(event.xdamage.drawable, seen)

    def wait_for(self, predicate, timeout_s):
        """Handles events until predicate() holds; False when the time runs out first."""
        deadline = time.monotonic_ns() + int(timeout_s * 1e9)
        while not predicate():
            now = time.monotonic_ns()
            if now >= deadline:
                return False
            self.pump(min(deadline, now + 20_000_000))
        return True

    def _drawn(self, window, seen_ns):
        pid = self._owner(window)
        if pid not in self.watched:
            return
        digest = self._picture(window)
        if digest is None or digest == self.pictures.get(window):
            return
        self.pictures[window] = digest
        self.watched[pid].append((seen_ns, window, digest))

    def _owner(self, window):
        if window in self.owners:
            return self.owners[window]
        actual_type, actual_format = c_ulong(), c_int()
        count, after, data = c_ulong(), c_ulong(), c_void_p()
        status = self.x.XGetWindowProperty(self.display, window, self.pid_atom, 0, 1, 0, 0,
                                           byref(actual_type), byref(actual_format),
                                           byref(count), byref(after), byref(data))
        pid = None
        if status == 0 and data.value:
            if actual_format.value == 32 and count.value == 1:
                pid = ctypes.cast(data, POINTER(c_ulong))[0]
            self.x.XFree(data)
        if pid is not None:
            self.owners[window] = pid
        return pid

    def _picture(self, window):
        """A digest of the window's pixels; None while it shows no drawing (one colour)."""
        width, height = self.size(window)
        if not width:
            return None
        image = self.x.XGetImage(self.display, window, 0, 0, width, height, AllPlanes, ZPixmap)
        if not image:
            return None
        try:
            size = image.contents.bytes_per_line * image.contents.height
            pixels = ctypes.string_at(image.contents.data, size)
            step = image.contents.bits_per_pixel // 8 or 1
        finally:
            self.x.XFree(image.contents.data)
            self.x.XFree(image)
        if len(set(pixels[i:i + 3] for i in range(0, len(pixels), step))) <= 1:
            return None
        return hashlib.sha1(pixels).hexdigest()

    # -- geometry and input ------------------------------------------------------------------

    def size(self, window):
        root, x, y = c_ulong(), c_int(), c_int()
        width, height, border, depth = c_uint(), c_uint(), c_uint(), c_uint()
        if not self.x.XGetGeometry(self.display, window, byref(root), byref(x), byref(y),
                                   byref(width), byref(height), byref(border), byref(depth)):
            return 0, 0
        return width.value, height.value

    def centre(self, window):
        width, height = self.size(window)
        x, y, child = c_int(), c_int(), c_ulong()
        self.x.XTranslateCoordinates(self.display, window, self.root, width // 2, height // 2,
                                     byref(x), byref(y), byref(child))
        return x.value, y.value

    def move_pointer(self, x, y):
        self.xtest.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        self.x.XFlush(self.display)

    def press(self, button=1):
        self.xtest.XTestFakeButtonEvent(self.display, button, 1, 0)
        self.x.XFlush(self.display)

    def release(self, button=1):
        self.xtest.XTestFakeButtonEvent(self.display, button, 0, 0)
        self.x.XFlush(self.display)
