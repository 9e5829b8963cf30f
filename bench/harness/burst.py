"""A burst of bus calls on a running Glowdeck (glowdeck-bus-burst): how many are answered, how
many refused, the time to the last answer and Glowdeck's memory meanwhile.

    python3 bench/harness/burst.py build [count] [method] [--glowdeck DIR]
"""

import argparse
import os
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", ".."))
from tools.desktop.processes import wait_for  # noqa: E402
from tools.desktop.session import Desktop  # noqa: E402


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir")
    parser.add_argument("count", nargs="?", default="10000")
    parser.add_argument("method", nargs="?", default="Toggle")
    parser.add_argument("--limit", type=float, default=300, help="seconds before the burst is cut short")
    parser.add_argument("--glowdeck", help="the folder of the glowdeck to measure (default: the build's)")
    args = parser.parse_args()
    build_bin = os.path.join(os.path.abspath(args.build_dir), "bin")
    glowdeck_bin = os.path.abspath(args.glowdeck or build_bin)
    with Desktop(os.path.join(glowdeck_bin, "resources", "litra"),
                 os.path.join(glowdeck_bin, "glowdeck")) as desktop:
        desktop.start()
        glowdeck = desktop.start_glowdeck()
        wait_for(lambda: "org.glowdeck.Glowdeck" in desktop.bus.names(), 20, "Glowdeck on the bus")
        time.sleep(1)
        samples = [rss_kib(glowdeck.pid)]
        done = threading.Event()

        def sample():
            while not done.wait(1):
                samples.append(rss_kib(glowdeck.pid))

        sampler = threading.Thread(target=sample)
        sampler.start()
        try:
            out = subprocess.run([os.path.join(build_bin, "glowdeck-bus-burst"), args.count,
                                  args.method], env=desktop.environment(), capture_output=True,
                                 text=True, timeout=args.limit).stdout
        except subprocess.TimeoutExpired as cut:
            out = (cut.stdout or b"").decode() + f"cut short after {args.limit:.0f} s\n"
        finally:
            done.set()
            sampler.join()
        print(out.strip())
        print(f"Glowdeck's memory: {samples[0] / 1024:.1f} MiB before, "
              f"{max(samples) / 1024:.1f} MiB at most, {samples[-1] / 1024:.1f} MiB at the end")


if __name__ == "__main__":
    main()
