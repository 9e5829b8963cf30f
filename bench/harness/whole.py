"""The whole-process figures: start-up, idle cost and click to icon, each taken side by side
with its floor: the minimal tray program, and the child runs that Glowdeck waits for (from the
kernel's process events, or else bare runs of the simulator timed right beside)."""

import os
import signal
import statistics
import subprocess
import time

from children import ChildWatch
from desktop.simlights import Lights

MS = 1e6
# Glowdeck's default poll interval, which the bare poller is given too.
POLL_SECONDS = 5
# How long a program is left after its last drawing before it counts as settled.
SETTLE_NS = 300_000_000


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


# -- what /proc says of a process ---------------------------------------------------------------

def cpu_ns(pid):
    """CPU time of the process's own threads (children excluded), to the nanosecond."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread that just ended
    return total


def cpu_ticks(pid):
    """utime + stime of the whole process in clock ticks: coarse, but counts ended threads."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def memory_kib(pid):
    values = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, value = line.partition(":")
            if key in ("VmRSS", "VmHWM"):
                values[key] = int(value.split()[0])
    try:
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for line in f:
                if line.startswith("Pss:"):
                    values["Pss"] = int(line.split()[1])
    except FileNotFoundError:
        pass
    return values


def threads(pid):
    return len(os.listdir(f"/proc/{pid}/task"))


# -- the runs ------------------------------------------------------------------------------------

class Programs:
    """The programs measured, run on `desktop` (tools/desktop) with `watch` (an XWatch of its
    display) seeing them draw."""

    def __init__(self, desktop, watch, build_dir):
        self.watch = watch
        self.lights = desktop.lights
        self.env = dict(desktop.environment(), LITRA_SIM_STATE=desktop.lights.state_path)
        bin_dir = os.path.join(build_dir, "bin")
        self.glowdeck = os.path.join(bin_dir, "glowdeck")
        self.minimal = os.path.join(bin_dir, "glowdeck-minimal-tray")
        self.minimal_bus_call = os.path.join(bin_dir, "glowdeck-minimal-bus-call")
        self.spawn_floor = os.path.join(bin_dir, "glowdeck-spawn-floor")
        self.bare_poller = os.path.join(bin_dir, "glowdeck-bare-poller")
        self.litra = os.path.join(bin_dir, "resources", "litra")
        self.floor_log = os.path.join(desktop.folder, "litra-floor-runs.log")
        self.bare_poller_log = os.path.join(desktop.folder, "litra-bare-poller-runs.log")
        self.children = ChildWatch.start()
        self.running = set()
        self.program_of = {}
        for program in (self.glowdeck, self.minimal, self.minimal_bus_call, self.spawn_floor,
                        self.bare_poller, self.litra):
            if not os.access(program, os.X_OK):
                raise RuntimeError(f"{program} is missing; build first (make build)")

    def launch(self, program, arguments=(), log=None):
        env = dict(self.env, LITRA_SIM_LOG=log or self.lights.log_path)
        started = time.monotonic_ns()
        pid = os.posix_spawn(program, [program, *arguments], env)
        self.running.add(pid)
        self.program_of[pid] = program
        self.watch.watch(pid)
        if self.children:
            self.children.watch(pid)
        return pid, started

    def end(self, pid):
        stop(pid)
        self.running.discard(pid)
        self.watch.forget(pid)

    def close(self):
        """Ends whatever is still running, after a failure."""
        for pid in list(self.running):
            self.end(pid)

    def check_alive(self, pid, what):
        done, status = os.waitpid(pid, os.WNOHANG)
        if done:
            self.running.discard(pid)
            raise RuntimeError(f"{what} ended by itself during the measurement (wait status "
                               f"{status})")

    def runs(self, start_ns=0, end_ns=None):
        """The simulator runs of the programs measured that began in [start_ns, end_ns), in the
        order they began."""
        return sorted((run for run in self.lights.runs()
                       if start_ns <= run.start and (end_ns is None or run.start < end_ns)),
                      key=lambda run: run.start)

    def child_source(self):
        if self.children and not self.children.lost:
            return "kernel process events (fork to exit of each child)"
        return "bare runs of the simulator timed beside each sample"

    def floor(self, count, *arguments):
        """(wall ns, CPU ns of the parent) of `count` bare runs of the simulator, taken now."""
        env = dict(self.env, LITRA_SIM_LOG=self.floor_log)
        output = subprocess.run([self.spawn_floor, str(count), self.litra, *arguments],
                                env=env, check=True, capture_output=True, text=True).stdout
        return [tuple(int(field) for field in line.split()) for line in output.splitlines()]

    def child_time(self, pid, start_ns, end_ns, count):
        """How long the process waited for its children forked in [start_ns, end_ns), from
        fork to exit; None when the kernel does not tell us or not all of them have ended."""
        if not self.children:
            return None
        deadline = time.monotonic() + 1.0  # the reader thread may not have caught up yet
        while not self.children.lost:
            runs = self.children.runs(pid, start_ns, end_ns)
            if len(runs) == count and all(end is not None for _, end in runs):
                return sum(end - fork for fork, end in runs)
            if time.monotonic() > deadline:
                break
            time.sleep(0.01)
        return None

    def wait_for_icon(self, pid, timeout=20):
        if not self.watch.wait_for(lambda: self.watch.pictures_of(pid), timeout):
            self.check_alive(pid, os.path.basename(self.program_of.get(pid, "the program")))
            raise RuntimeError(f"no tray icon drawn by process {pid} within {timeout} s")

    def wait_for_first_refresh(self, pid, started, timeout=20):
        """Until Glowdeck's first refresh (one device query) is over and drawn."""
        def refreshed():
            runs = self.runs(started)
            return len(runs) >= 1 and time.monotonic_ns() > runs[0].end + SETTLE_NS
        if not self.watch.wait_for(refreshed, timeout):
            raise RuntimeError("Glowdeck's first refresh did not end within "
                               f"{timeout} s")


def startup(programs, samples, log=print):
    """Exec to icon, alternating Glowdeck and the minimal program; one untimed round first."""
    rounds = []
    for index in range(samples + 1):
        pid, started = programs.launch(programs.glowdeck)
        programs.wait_for_icon(pid)
        programs.wait_for_first_refresh(pid, started)
        pictures = programs.watch.pictures_of(pid)
        final = pictures[-1][2]
        status_drawn = next(t for t, _, digest in pictures if digest == final)
        first_drawn = pictures[0][0]
        runs = programs.runs(started)[:1]
        glowdeck_cpu = cpu_ns(pid)
        waited = programs.child_time(pid, started, status_drawn, 1)
        programs.end(pid)
        if waited is None:
            waited = sum(wall for wall, _ in programs.floor(1, "devices", "--json"))

        pid, minimal_started = programs.launch(programs.minimal)
        programs.wait_for_icon(pid)
        minimal_drawn = programs.watch.pictures_of(pid)[0][0]
        programs.watch.pump(time.monotonic_ns() + SETTLE_NS)
        minimal_cpu = cpu_ns(pid)
        programs.end(pid)
        if index == 0:
            continue  # the first round loads everything from disk
        sample = {
            "glowdeck_first_icon_ms": (first_drawn - started) / MS,
            "glowdeck_status_ms": (status_drawn - started) / MS,
            "child_runs_ms": waited / MS,
            "child_in_simulator_ms": sum(run.end - run.start for run in runs) / MS,
            "minimal_icon_ms": (minimal_drawn - minimal_started) / MS,
            "glowdeck_cpu_ms": glowdeck_cpu / MS,
            "minimal_cpu_ms": minimal_cpu / MS,
            "pictures": len(pictures),
        }
        sample["glowdeck_own_ms"] = sample["glowdeck_status_ms"] - sample["child_runs_ms"]
        sample["ratio"] = sample["glowdeck_own_ms"] / sample["minimal_icon_ms"]
        sample["first_icon_ratio"] = sample["glowdeck_first_icon_ms"] / sample["minimal_icon_ms"]
        log(f"  start-up {index}/{samples}: Glowdeck status {sample['glowdeck_status_ms']:.1f} ms"
            f" - child runs {sample['child_runs_ms']:.1f} ms, first icon "
            f"{sample['glowdeck_first_icon_ms']:.1f} ms; minimal {sample['minimal_icon_ms']:.1f} ms")
        rounds.append(sample)
    result = {"samples": rounds, "child_runs_from": programs.child_source()}
    for key in ("glowdeck_own_ms", "glowdeck_status_ms", "glowdeck_first_icon_ms",
                "child_runs_ms", "minimal_icon_ms", "glowdeck_cpu_ms", "minimal_cpu_ms"):
        result[key] = statistics.median(s[key] for s in rounds)
    # Medians first: one slow start of either program does not decide the ratio.
    result["ratio"] = result["glowdeck_own_ms"] / result["minimal_icon_ms"]
    result["first_icon_ratio"] = result["glowdeck_first_icon_ms"] / result["minimal_icon_ms"]
    result["pair_ratio"] = statistics.median(s["ratio"] for s in rounds)
    return result


def idle(programs, seconds, log=print):
    """Both programs side by side for `seconds`; returns the figures and Glowdeck's pid, which
    is left running for the click figure."""
    glowdeck, glowdeck_started = programs.launch(programs.glowdeck)
    minimal, _ = programs.launch(programs.minimal)
    # The floor of a poll: spawn, read, decode and compare on the same interval, with its runs
    # logged apart from Glowdeck's.
    bare, _ = programs.launch(programs.bare_poller, [str(POLL_SECONDS), programs.litra, "devices",
                                                     "--json"], programs.bare_poller_log)
    programs.wait_for_icon(glowdeck)
    programs.wait_for_icon(minimal)
    programs.wait_for_first_refresh(glowdeck, glowdeck_started)
    programs.watch.pump(time.monotonic_ns() + 1_000_000_000)

    def snapshot():
        return {
            "t": time.monotonic_ns(),
            "glowdeck": (cpu_ns(glowdeck), cpu_ticks(glowdeck)),
            "minimal": (cpu_ns(minimal), cpu_ticks(minimal)),
            "bare": cpu_ns(bare),
        }

    log(f"  idle: both programs running for {seconds} s")
    before = snapshot()
    time.sleep(seconds)
    programs.check_alive(glowdeck, "Glowdeck")
    programs.check_alive(minimal, "The minimal tray program")
    programs.check_alive(bare, "The bare poller")
    after = snapshot()
    window_s = (after["t"] - before["t"]) / 1e9
    tick = os.sysconf("SC_CLK_TCK")
    result = {"window_s": window_s, "poll_runs": len(programs.runs(before["t"], after["t"]))}
    for name, pid in (("glowdeck", glowdeck), ("minimal", minimal)):
        cpu = (after[name][0] - before[name][0]) / 1e6
        ticks_ms = (after[name][1] - before[name][1]) * 1000 / tick
        memory = memory_kib(pid)
        result[name] = {
            "cpu_ms": cpu,
            "cpu_ms_ticks": ticks_ms,
            "cpu_percent": cpu / (window_s * 1000) * 100,
            "rss_kib": memory.get("VmRSS"),
            "peak_rss_kib": memory.get("VmHWM"),
            "pss_kib": memory.get("Pss"),
            "threads": threads(pid),
        }
    bare_runs = [run for run in Lights.runs_in(programs.bare_poller_log)
                 if before["t"] <= run.start < after["t"]]
    result["bare"] = {"cpu_ms": (after["bare"] - before["bare"]) / 1e6, "poll_runs": len(bare_runs)}
    own_per_poll = result["glowdeck"]["cpu_ms"] / max(result["poll_runs"], 1)
    bare_per_poll = result["bare"]["cpu_ms"] / max(len(bare_runs), 1)
    result["per_poll_ms"] = own_per_poll
    result["bare_per_poll_ms"] = bare_per_poll
    result["per_poll_ratio"] = own_per_poll / bare_per_poll if bare_per_poll else float("inf")
    programs.end(bare)
    programs.end(minimal)
    programs.watch.pump(time.monotonic_ns() + 500_000_000)  # the tray closes the gap
    result["memory_ratio"] = result["glowdeck"]["rss_kib"] / result["minimal"]["rss_kib"]
    log(f"  idle: Glowdeck {result['glowdeck']['cpu_ms']:.1f} ms CPU, "
        f"{result['glowdeck']['rss_kib']} KiB; minimal {result['minimal']['cpu_ms']:.1f} ms CPU, "
        f"{result['minimal']['rss_kib']} KiB; {result['poll_runs']} child runs; per poll "
        f"{own_per_poll:.2f} ms vs {bare_per_poll:.2f} ms for the bare poller")
    return result, glowdeck


def idle_following_cameras(programs, seconds, log=print):
    """Glowdeck alone for `seconds` with "Turn lights on while a camera is in use" on, watching
    the real /dev: its CPU time, which the option must leave where it was."""
    config = os.path.join(programs.env["XDG_CONFIG_HOME"], "Glowdeck", "Glowdeck.conf")
    try:
        with open(config) as f:
            before = f.read()
    except FileNotFoundError:
        before = None
    os.makedirs(os.path.dirname(config), exist_ok=True)
    with open(config, "w") as f:
        rest = (before or "").replace("[General]\n", "", 1)
        f.write("[General]\nfollowCamera=true\n" + rest)
    try:
        pid, started = programs.launch(programs.glowdeck)
        programs.wait_for_icon(pid)
        programs.wait_for_first_refresh(pid, started)
        programs.watch.pump(time.monotonic_ns() + 1_000_000_000)
        log(f"  idle, following cameras: Glowdeck running for {seconds} s")
        t0, cpu0 = time.monotonic_ns(), cpu_ns(pid)
        time.sleep(seconds)
        programs.check_alive(pid, "Glowdeck")
        t1, cpu1 = time.monotonic_ns(), cpu_ns(pid)
        programs.end(pid)
    finally:
        if before is None:
            os.remove(config)
        else:
            with open(config, "w") as f:
                f.write(before)
    window_s = (t1 - t0) / 1e9
    cpu = (cpu1 - cpu0) / 1e6
    result = {"window_s": window_s, "cpu_ms": cpu, "cpu_percent": cpu / (window_s * 1000) * 100,
              "poll_runs": len(programs.runs(t0, t1))}
    log(f"  idle, following cameras: Glowdeck {cpu:.1f} ms CPU; {result['poll_runs']} child runs")
    return result


def clicks(programs, pid, samples, log=print):
    """Left click to redrawn icon on a running Glowdeck, minus the child runs it waits for
    (toggle, then the refresh's device query). Also the CPU time Glowdeck itself spent
    on the click."""
    watch = programs.watch
    window = watch.pictures_of(pid)[-1][1]
    taken, discarded = [], 0
    while len(taken) < samples and discarded < samples:
        # The tray lays its icons out anew when one comes or goes: look where it is now.
        x, y = watch.centre(window)
        watch.move_pointer(x, y)
        watch.pump(time.monotonic_ns() + 100_000_000)
        count = len(watch.pictures_of(pid))
        cpu_before = cpu_ns(pid)
        clicked = time.monotonic_ns()
        watch.press()
        watch.release()
        drawn_in_time = watch.wait_for(lambda: len(watch.pictures_of(pid)) > count, 10)
        cpu_after = cpu_ns(pid)
        watch.move_pointer(5, 700)
        if not drawn_in_time:
            programs.check_alive(pid, "Glowdeck")
            ran = [run.arguments for run in programs.runs(clicked)]
            raise RuntimeError(f"a left click at ({x}, {y}) on Glowdeck's icon did not redraw it "
                               f"within 10 s; litra runs since the click: {ran or 'none'}")
        drawn = watch.pictures_of(pid)[-1][0]
        commands = [run.arguments for run in programs.runs(clicked, drawn)]
        if commands != ["toggle", "devices --json"]:
            discarded += 1  # a poll ran in between
            log(f"  click: discarded, the children were {commands}")
            watch.pump(time.monotonic_ns() + 500_000_000)
            continue
        waited = programs.child_time(pid, clicked, drawn, 2)
        if waited is None:
            toggles = programs.floor(2, "toggle")  # twice: the lights end as they were
            queries = programs.floor(1, "devices", "--json")
            waited = (statistics.mean(wall for wall, _ in toggles) +
                      statistics.mean(wall for wall, _ in queries))
        sample = {
            "click_to_icon_ms": (drawn - clicked) / MS,
            "child_runs_ms": waited / MS,
            "cpu_ms": (cpu_after - cpu_before) / MS,
        }
        sample["own_ms"] = sample["click_to_icon_ms"] - sample["child_runs_ms"]
        taken.append(sample)
        log(f"  click {len(taken)}/{samples}: {sample['click_to_icon_ms']:.1f} ms, child runs "
            f"{sample['child_runs_ms']:.1f} ms, own {sample['own_ms']:.2f} ms; CPU "
            f"{sample['cpu_ms']:.2f} ms")
        watch.pump(time.monotonic_ns() + 500_000_000)  # well past a double click
    programs.end(pid)
    if not taken:
        raise RuntimeError("every click overlapped a poll")
    result = {"samples": taken, "discarded": discarded,
              "child_runs_from": programs.child_source()}
    for key in ("click_to_icon_ms", "child_runs_ms", "own_ms", "cpu_ms"):
        result[key] = statistics.median(s[key] for s in taken)
    return result


def wall_ns(argv, env):
    """Spawn to reaped, of a program that must succeed."""
    started = time.monotonic_ns()
    pid = os.posix_spawn(argv[0], argv, env)
    _, status = os.waitpid(pid, 0)
    ended = time.monotonic_ns()
    if not os.WIFEXITED(status) or os.WEXITSTATUS(status) != 0:
        raise RuntimeError(f"{' '.join(argv)} failed (wait status {status})")
    return ended - started


def verbs(programs, samples, log=print):
    """`glowdeck toggle` through a running Glowdeck, minus the child runs it waits for (the
    toggle, then the refresh's device query), against a Qt Core program that makes one
    session-bus call; alternating, after one round that is not counted. Beside them,
    `glowdeck --version`: what loading the binary costs before any work."""
    pid, started = programs.launch(programs.glowdeck)
    programs.wait_for_icon(pid)
    programs.wait_for_first_refresh(pid, started)
    env = dict(programs.env, LITRA_SIM_LOG=programs.lights.log_path)
    taken, discarded, warm = [], 0, False
    while len(taken) < samples and discarded < samples:
        begin = time.monotonic_ns()
        verb = wall_ns([programs.glowdeck, "toggle"], env)
        end = time.monotonic_ns()
        floor = wall_ns([programs.minimal_bus_call], env)
        version = wall_ns([programs.glowdeck, "--version"], env)
        commands = [run.arguments for run in programs.runs(begin, end)]
        if commands != ["toggle", "devices --json"]:
            discarded += 1  # a poll ran in between
            continue
        waited = programs.child_time(pid, begin, end, 2)
        if waited is None:
            waited = (statistics.mean(wall for wall, _ in programs.floor(2, "toggle")) +
                      statistics.mean(wall for wall, _ in programs.floor(1, "devices", "--json")))
        if not warm:
            warm = True  # the first round loads everything from disk
            continue
        sample = {"verb_ms": verb / MS, "child_runs_ms": waited / MS, "floor_ms": floor / MS,
                  "version_ms": version / MS}
        sample["own_ms"] = sample["verb_ms"] - sample["child_runs_ms"]
        taken.append(sample)
        log(f"  verb {len(taken)}/{samples}: glowdeck toggle {sample['verb_ms']:.1f} ms, child "
            f"runs {sample['child_runs_ms']:.1f} ms; one bus call {sample['floor_ms']:.1f} ms; "
            f"glowdeck --version {sample['version_ms']:.1f} ms")
    programs.end(pid)
    if not taken:
        raise RuntimeError("every glowdeck toggle overlapped a poll")
    result = {"samples": taken, "discarded": discarded,
              "child_runs_from": programs.child_source()}
    for key in ("verb_ms", "child_runs_ms", "own_ms", "floor_ms", "version_ms"):
        result[key] = statistics.median(s[key] for s in taken)
    result["ratio"] = result["own_ms"] / result["floor_ms"]
    return result
