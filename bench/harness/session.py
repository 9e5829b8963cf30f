"""A private desktop for the whole-process figures: a virtual X display (Xvfb), a session bus
and an XEmbed tray host (trayer), with a temporary home. Nothing of the user's own session is
seen by the programs measured, and nothing of theirs is touched.
"""

import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

from xwatch import XWatch


class SessionError(RuntimeError):
    pass


def _need(program):
    path = shutil.which(program)
    if not path:
        raise SessionError(f"{program} is missing; scripts/install-deps installs it")
    return path


class Session:
    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="glowdeck-bench-")
        self.processes = []
        self.watch = None
        self.display = None
        self.env = None

    # -- start and stop ----------------------------------------------------------------------

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *_):
        self.close()

    def _start(self):
        xvfb = _need("Xvfb")
        trayer = _need("trayer")
        for name in ("home", "config", "state", "cache", "data"):
            os.makedirs(os.path.join(self.root, name))
        runtime = os.path.join(self.root, "runtime")
        os.makedirs(runtime, mode=0o700)

        read_end, write_end = os.pipe()
        self._spawn([xvfb, "-displayfd", str(write_end), "-screen", "0", "1280x800x24",
                     "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        number = self._read_line(read_end, 10, "Xvfb did not start")
        os.close(read_end)
        self.display = ":" + number

        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": os.path.join(self.root, "home"),
            "XDG_CONFIG_HOME": os.path.join(self.root, "config"),
            "XDG_STATE_HOME": os.path.join(self.root, "state"),
            "XDG_CACHE_HOME": os.path.join(self.root, "cache"),
            "XDG_DATA_HOME": os.path.join(self.root, "data"),
            "XDG_RUNTIME_DIR": runtime,
            "DISPLAY": self.display,
            "QT_QPA_PLATFORM": "xcb",
            "LANG": "C.UTF-8",
            "LITRA_SIM_STATE": os.path.join(self.root, "simulated-lights.json"),
        }
        dbus = shutil.which("dbus-daemon")
        if dbus:
            bus = self._spawn([dbus, "--session", "--nofork", "--print-address=1"],
                              stdout=subprocess.PIPE)
            address = self._read_line(bus.stdout.fileno(), 10, "dbus-daemon did not start")
            self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        else:
            # No bus rather than the user's own.
            self.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + os.path.join(runtime, "none")

        self.watch = XWatch(self.display)
        self._spawn([trayer, "--edge", "top", "--align", "right", "--widthtype", "request",
                     "--height", "24", "--transparent", "false", "--SetDockType", "true"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while not self.watch.tray_owner():
            if time.monotonic() > deadline:
                raise SessionError("trayer did not take the system tray selection")
            time.sleep(0.05)
        time.sleep(0.3)  # let the panel settle before anything docks

    def _spawn(self, argv, **kwargs):
        kwargs.setdefault("stderr", subprocess.DEVNULL)
        env = dict(self.env) if self.env else {"PATH": os.environ.get("PATH", "/usr/bin:/bin")}
        process = subprocess.Popen(argv, env=env, **kwargs)
        self.processes.append(process)
        return process

    @staticmethod
    def _read_line(fd, timeout, failure):
        data = b""
        deadline = time.monotonic() + timeout
        while not data.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                raise SessionError(failure)
            chunk = os.read(fd, 256)
            if not chunk:
                raise SessionError(failure)
            data += chunk
        return data.decode().strip()

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self.processes = []
        shutil.rmtree(self.root, ignore_errors=True)

    # -- the programs measured ----------------------------------------------------------------

    def path(self, name):
        return os.path.join(self.root, name)


def stop(pid, timeout=5.0):
    """Ends a process we started and reaps it."""
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        pass
    deadline = time.monotonic() + timeout
    try:
        while time.monotonic() < deadline:
            done, _ = os.waitpid(pid, os.WNOHANG)
            if done:
                return
            time.sleep(0.01)
        os.kill(pid, signal.SIGKILL)
        os.waitpid(pid, 0)
    except ChildProcessError:
        pass  # already reaped
