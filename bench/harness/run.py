#!/usr/bin/env python3
"""Runs every Glowdeck benchmark against a build folder and writes the figures with their
targets into <build>/bench: table.txt, results.json and plot.png.

Usage: run.py BUILD_DIR [--idle-seconds N] [--startup-samples N] [--click-samples N]
              [--verb-samples N]

Everything runs on a private virtual desktop (tools/desktop) with its own tray host, session
bus and home, so the programs measured see nothing of the user's session and the simulated
lights are their own.
"""

import argparse
import json
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [HERE, os.path.join(HERE, "..", "..", "tools")]

import memory  # noqa: E402
import report  # noqa: E402
import whole  # noqa: E402
from desktop import Desktop, missing_tools  # noqa: E402
from xwatch import XWatch  # noqa: E402


def say(text):
    print(text, flush=True)


def google_benchmarks(desktop, build_dir, out_dir):
    binary = os.path.join(build_dir, "bin", "glowdeck_bench")
    if not os.access(binary, os.X_OK):
        raise RuntimeError(f"{binary} is missing; build with GLOWDECK_BUILD_BENCH=ON")
    out = os.path.join(out_dir, "gbench.json")
    say("== Google Benchmark: decoding, one command, one refresh")
    # Interleaved repetitions spread each benchmark over the whole run, so that a busy moment
    # on the machine does not land on one of them alone.
    subprocess.run([binary, f"--benchmark_out={out}", "--benchmark_out_format=json",
                    "--benchmark_enable_random_interleaving=true"],
                   env=desktop.environment(), check=True)
    with open(out) as f:
        return json.load(f)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir")
    parser.add_argument("--idle-seconds", type=float, default=60)
    parser.add_argument("--startup-samples", type=int, default=11)
    parser.add_argument("--click-samples", type=int, default=15)
    parser.add_argument("--verb-samples", type=int, default=15)
    args = parser.parse_args()
    build_dir = os.path.abspath(args.build_dir)
    out_dir = os.path.join(build_dir, "bench")
    os.makedirs(out_dir, exist_ok=True)
    load_before = list(os.getloadavg())
    began = time.monotonic()

    missing = missing_tools()
    if missing:
        print(f"run-bench: missing {', '.join(missing)}; scripts/install-deps installs them",
              file=sys.stderr)
        return 1
    try:
        with Desktop(os.path.join(build_dir, "bin", "resources", "litra")) as desktop:
            desktop.start()
            watch = XWatch(f":{desktop.display}")
            gbench = google_benchmarks(desktop, build_dir, out_dir)
            say("== Peak memory of one refresh, by report shape")
            peaks = memory.refresh_memory(build_dir, say)
            programs = whole.Programs(desktop, watch, build_dir)
            try:
                say("== Start-up: Glowdeck and the minimal tray program, alternating")
                start = whole.startup(programs, args.startup_samples, say)
                say("== Idle cost and click to icon")
                idle, glowdeck = whole.idle(programs, args.idle_seconds, say)
                click = whole.clicks(programs, glowdeck, args.click_samples, say)
                say("== A verb through the running Glowdeck: glowdeck toggle and one bus call")
                verb = whole.verbs(programs, args.verb_samples, say)
            finally:
                programs.close()
    except (AssertionError, OSError, RuntimeError, subprocess.CalledProcessError) as error:
        print(f"run-bench: {error}", file=sys.stderr)
        return 1

    info = report.machine(load_before)
    rows, per_light = report.figures(gbench, start, idle, click, peaks, verb)
    text, png = report.write(out_dir, info, rows, per_light,
                             {"start_up": start, "idle": idle, "click": click,
                              "refresh_memory": peaks, "verb": verb})
    say("")
    say(text)
    say(f"Written: {out_dir}/table.txt, results.json" + (", plot.png" if png else
                                                           " (no gnuplot: no plot)") +
        f" in {time.monotonic() - began:.0f} s")
    missed = [r["title"].strip() for r in rows if r["met"] is False]
    if missed:
        say(f"Targets missed: {len(missed)} (see docs/performance.md for what stands in the way)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
