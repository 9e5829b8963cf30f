"""Processes of a virtual desktop: waiting on conditions with time-outs, starting processes
with their output in files, and finding what they left running.

Every process a desktop starts carries a marker in its environment that its children inherit,
so that whatever is left over can be found and ended by its id.
"""

import os
import select
import signal
import subprocess
import time

MARKER = "GLOWDECK_DESKTOP_RUN"


# Every wait polls its condition and returns as soon as it holds, so a long deadline costs
# nothing when things go well; this one leaves room for a two-core machine that is busy with
# builds beside the tests.
LOADED_MACHINE_ALLOWANCE = 4


def time_scale():
    """How much slower than a plain build the binaries run (sanitizers)."""
    return float(os.environ.get("GLOWDECK_TIME_SCALE", "1"))


def deadline_after(timeout):
    """The moment a wait of `timeout` seconds of a plain build on an idle machine gives up."""
    return time.monotonic() + timeout * time_scale() * LOADED_MACHINE_ALLOWANCE


class WaitTimeout(AssertionError):
    pass


def wait_for(condition, timeout, what, interval=0.05, describe=None):
    """Polls `condition` until it returns something true and returns that. `timeout` is in
    seconds of a plain build and scaled for sanitized ones; `describe` tells what was seen last
    when time runs out."""
    deadline = deadline_after(timeout)
    while True:
        last = condition()
        if last:
            return last
        if time.monotonic() >= deadline:
            seen = describe() if describe else repr(last)
            raise WaitTimeout(
                "timed out after %.1f s waiting for %s (last seen: %s)"
                % (timeout * time_scale() * LOADED_MACHINE_ALLOWANCE, what, seen)
            )
        time.sleep(interval)


def read_line(fd, timeout, what):
    """One line from a pipe, waiting at most `timeout` seconds (see deadline_after)."""
    deadline = deadline_after(timeout)
    data = b""
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise WaitTimeout("timed out waiting for %s" % what)
        chunk = os.read(fd, 256)
        if not chunk:
            raise AssertionError("%s: the pipe closed before a line came" % what)
        data += chunk
    return data.decode().strip()


class Process:
    """A child process with its output in files; ended by its own id."""

    def __init__(self, name, argv, env, log_dir, pass_fds=()):
        self.name = name
        self.stdout_path = os.path.join(log_dir, name + ".out")
        self.stderr_path = os.path.join(log_dir, name + ".err")
        with open(self.stdout_path, "ab") as out, open(self.stderr_path, "ab") as err:
            self.started_ns = time.monotonic_ns()
            self.popen = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=out,
                                          stderr=err, pass_fds=pass_fds, close_fds=True)
        self.pid = self.popen.pid

    def alive(self):
        return self.popen.poll() is None

    def wait(self, timeout):
        """The exit status, or None when it is still running after `timeout` seconds (not
        scaled: callers that time the process pass what they mean)."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def end(self, grace=2.0):
        if not self.alive():
            return self.popen.returncode
        os.kill(self.pid, signal.SIGTERM)
        status = self.wait(grace * time_scale())
        if status is None:
            os.kill(self.pid, signal.SIGKILL)
            status = self.popen.wait()
        return status

    def stderr_text(self):
        with open(self.stderr_path, "rb") as err:
            return err.read().decode(errors="replace")


def marked_processes(marker):
    """(pid, argv) of every live process whose environment carries the marker."""
    needle = ("%s=%s" % (MARKER, marker)).encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            with open("/proc/%s/environ" % entry, "rb") as environ:
                if needle not in environ.read().split(b"\0"):
                    continue
            with open("/proc/%s/stat" % entry) as stat:
                if stat.read().rsplit(")", 1)[1].split()[0] == "Z":
                    continue
            with open("/proc/%s/cmdline" % entry, "rb") as cmdline:
                argv = [part.decode(errors="replace") for part in cmdline.read().split(b"\0")[:-1]]
        except OSError:
            continue  # gone meanwhile, or not ours to read
        found.append((int(entry), argv))
    return found
