"""Turns the measurements into figures with their targets: a text table, a JSON file and a
plot (gnuplot)."""

import datetime
import json
import os
import platform
import shutil
import subprocess

MET = {True: "yes", False: "NO", None: ""}
DECODE_SIZES = (1, 4, 16, 64, 256)
# Flat cost per light: a light in a report of 256 (the most a report may list) costs at most
# this times one in a report of 4. (One light alone also carries the fixed cost of a call.)
DECODE_FLATNESS = 1.25


def _source_revision():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    try:
        head = subprocess.run(["git", "-C", root, "rev-parse", "--short", "HEAD"],
                              capture_output=True, text=True, check=True).stdout.strip()
        changed = subprocess.run(["git", "-C", root, "status", "--porcelain", "--",
                                  "src", "tools"], capture_output=True, text=True,
                                 check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return "unknown"
    return head + (" with uncommitted changes in src/ or tools/" if changed else "")


def machine(load_before):
    model, cores = "unknown CPU", os.cpu_count()
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    memory = ""
    try:
        with open("/proc/meminfo") as f:
            kib = int(f.readline().split()[1])
            memory = f"{kib / 1024 / 1024:.1f} GiB"
    except (OSError, ValueError, IndexError):
        pass
    system = platform.system() + " " + platform.release()
    try:
        with open("/etc/os-release") as f:
            for line in f:
                if line.startswith("PRETTY_NAME="):
                    system += ", " + line.split("=", 1)[1].strip().strip('"')
    except OSError:
        pass
    qt = "unknown"
    if shutil.which("dpkg-query"):
        result = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "libqt6core6"],
                                capture_output=True, text=True)
        if result.returncode == 0:
            qt = result.stdout.split("+")[0]
    return {
        "source": _source_revision(),
        "cpu": model,
        "cores": cores,
        "memory": memory,
        "system": system,
        "qt": qt,
        "load_before": load_before,
        "load_after": list(os.getloadavg()),
        "date": datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC"),
    }


def _benchmark(gbench, name, aggregate=None):
    """The entry of a benchmark whose name starts with `name`: its single run, or the
    aggregate (median, mean) of its repetitions."""
    for entry in gbench["benchmarks"]:
        if not entry.get("run_name", entry["name"]).startswith(name):
            continue
        if entry.get("aggregate_name") != aggregate:
            continue
        if entry.get("error_occurred"):
            raise RuntimeError(f"{name}: {entry.get('error_message')}")
        return entry
    raise RuntimeError(f"{name} is missing from the benchmark output")


def _pair_note(entry):
    return (f"median of {entry['iterations']} pairs; their ratios p25-p75 "
            f"{entry['ratio_p25']:.3f}-{entry['ratio_p75']:.3f}, fast end (p10) "
            f"{entry['fast_ratio']:.3f}; CPU of the process {entry['glowdeck_cpu_us']:.0f} µs vs "
            f"{entry['floor_cpu_us']:.0f} µs")


def figures(gbench, start, idle, click, peaks, verb):
    rows = []

    def row(number, title, glowdeck, against, ratio, target, limit, note="", value=None):
        # `limit` is the largest ratio allowed, or for an absolute figure the value (in the
        # unit of `glowdeck`) that it must stay under.
        measured = ratio if ratio is not None else value
        if limit is None:
            met = None  # shown for what it explains, no target of its own
        else:
            met = measured <= limit if ratio is not None else measured < limit
        rows.append({"figure": number, "title": title, "glowdeck": glowdeck, "against": against,
                     "ratio": ratio, "value": value, "target": target, "limit": limit,
                     "met": met, "note": note})

    per_light = {}
    for size in DECODE_SIZES:
        entry = _benchmark(gbench, f"BM_DecodeReport/lights:{size}/", "min")
        per_light[size] = entry["per_light"] * 1e6  # µs
    flatness = per_light[256] / per_light[4]
    row(1, "Decode: cost per light at 256 lights vs at 4 lights",
        f"{per_light[256]:.2f} µs", f"{per_light[4]:.2f} µs", flatness,
        f"≤ {DECODE_FLATNESS}", DECODE_FLATNESS,
        "per light at " + " / ".join(str(s) for s in DECODE_SIZES) + " lights: " +
        " / ".join(f"{per_light[s]:.2f}" for s in DECODE_SIZES) + " µs")

    for operation in ("devices", "toggle"):
        entry = _benchmark(gbench, f"BM_Command/{operation}/")
        row(2, f"One command: {operation}() vs bare spawn + wait",
            f"{entry['glowdeck_us'] / 1000:.2f} ms", f"{entry['floor_us'] / 1000:.2f} ms",
            entry["ratio"], "≤ 1.05", 1.05,
            _pair_note(entry))

    for lights, what in (("unchanged", "status unchanged"), ("switched", "status changed")):
        entry = _benchmark(gbench, f"BM_Refresh/{lights}/")
        row(3, f"Refresh ({what}) vs a bare spawn",
            f"{entry['glowdeck_us'] / 1000:.2f} ms", f"{entry['floor_us'] / 1000:.2f} ms",
            entry["ratio"], "≤ 1.10", 1.10,
            _pair_note(entry))

    g, m = idle["glowdeck"], idle["minimal"]
    row(4, f"Idle memory (RSS after {idle['window_s']:.0f} s) vs minimal tray program",
        f"{g['rss_kib'] / 1024:.1f} MiB", f"{m['rss_kib'] / 1024:.1f} MiB",
        idle["memory_ratio"], "≤ 1.15", 1.15,
        f"PSS {g['pss_kib'] / 1024:.1f} vs {m['pss_kib'] / 1024:.1f} MiB; peak RSS "
        f"{g['peak_rss_kib'] / 1024:.1f} vs {m['peak_rss_kib'] / 1024:.1f} MiB; threads "
        f"{g['threads']} vs {m['threads']}")
    row(4, f"Idle CPU of Glowdeck itself, {idle['window_s']:.0f} s at the 5 s poll",
        f"{g['cpu_percent']:.4f} %", f"{m['cpu_percent']:.4f} %", None, "< 0.02 %", 0.02,
        f"{g['cpu_ms']:.1f} ms vs {m['cpu_ms']:.1f} ms of CPU ({g['cpu_ms_ticks']:.0f} vs "
        f"{m['cpu_ms_ticks']:.0f} ms by clock ticks); {idle['poll_runs']} child runs",
        value=g["cpu_percent"])
    b = idle["bare"]
    row(4, "  CPU per idle poll vs a bare poller (spawn, read, decode, compare)",
        f"{idle['per_poll_ms']:.2f} ms", f"{idle['bare_per_poll_ms']:.2f} ms",
        idle["per_poll_ratio"], "≤ 1.5", 1.5,
        f"{g['cpu_ms']:.1f} ms over {idle['poll_runs']} polls vs {b['cpu_ms']:.1f} ms over "
        f"{b['poll_runs']}, side by side")
    c = idle["cameras"]
    row(4, f"  the same with the camera option on, {c['window_s']:.0f} s, Glowdeck alone",
        f"{c['cpu_percent']:.4f} %", "", None, "< 0.02 %", 0.02,
        f"{c['cpu_ms']:.1f} ms of CPU; {c['poll_runs']} child runs; inotify on /dev, no timer",
        value=c["cpu_percent"])

    row(5, "Start-up: exec to lights' status drawn, minus child runs, vs minimal",
        f"{start['glowdeck_own_ms']:.1f} ms", f"{start['minimal_icon_ms']:.1f} ms",
        start["ratio"], "≤ 1.2", 1.2,
        f"medians of {len(start['samples'])}; status drawn at {start['glowdeck_status_ms']:.1f} "
        f"ms, its child run {start['child_runs_ms']:.1f} ms; first icon (initial status) "
        f"at {start['glowdeck_first_icon_ms']:.1f} ms, {start['first_icon_ratio']:.2f}× minimal; "
        f"median of the pairs' ratios {start['pair_ratio']:.2f}; CPU until settled "
        f"{start['glowdeck_cpu_ms']:.1f} vs {start['minimal_cpu_ms']:.1f} ms; child runs from "
        f"{start['child_runs_from']}")

    row(6, "Click to redrawn icon, own time (minus its 2 child runs)",
        f"{click['own_ms']:.2f} ms", "", None, "< 5 ms", 5.0,
        f"median of {len(click['samples'])}: click to icon {click['click_to_icon_ms']:.1f} ms, "
        f"child runs {click['child_runs_ms']:.1f} ms; CPU of Glowdeck itself "
        f"{click['cpu_ms']:.2f} ms (its side of the two spawns included); child runs from "
        f"{click['child_runs_from']}", value=click["own_ms"])
    worst = max(peaks, key=lambda entry: entry["per_byte"])
    row(7, "Peak memory of one refresh per byte of report (worst shape)",
        f"{worst['added_kib'] / 1024:.1f} MiB", f"{worst['report_bytes'] / 1048576:.1f} MiB",
        worst["per_byte"], "≤ 20", 20,
        f"worst: {worst['shape']}; " + "; ".join(
            f"{entry['shape']} {entry['per_byte']:.1f}×" for entry in peaks if entry is not worst))
    row(8, "Verb: glowdeck toggle via the running one, minus 2 child runs, vs 1 bus call",
        f"{verb['own_ms']:.1f} ms", f"{verb['floor_ms']:.1f} ms", verb["ratio"], "≤ 1.3", 1.3,
        f"medians of {len(verb['samples'])}: glowdeck toggle {verb['verb_ms']:.1f} ms, child runs "
        f"{verb['child_runs_ms']:.1f} ms; glowdeck --version alone {verb['version_ms']:.1f} ms; "
        f"child runs from {verb['child_runs_from']}")
    return rows, per_light


def table(rows, info):
    lines = [
        f"Glowdeck benchmarks, {info['date']}, source {info['source']}",
        f"Machine: {info['cpu']}, {info['cores']} cores, {info['memory']}; {info['system']}; "
        f"Qt {info['qt']}",
        "Load average before / after: " + " ".join(f"{v:.2f}" for v in info["load_before"]) +
        " / " + " ".join(f"{v:.2f}" for v in info["load_after"]),
        "",
        f"{'#':<2} {'Figure':<70} {'Glowdeck':>11} {'Against':>11} {'Ratio':>6} "
        f"{'Target':>9}  Met",
    ]
    lines.append("-" * len(lines[-1]))
    for r in rows:
        ratio = f"{r['ratio']:.3f}" if r["ratio"] is not None else ""
        lines.append(f"{r['figure']:<2} {r['title']:<70} {r['glowdeck']:>11} {r['against']:>11} "
                     f"{ratio:>6} {r['target']:>9}  {MET[r['met']]}")
        if r["note"]:
            lines.append(f"{'':<5}{r['note']}")
    return "\n".join(lines) + "\n"


def plot(out_dir, rows, per_light, info):
    """A PNG: the cost per light over the report size, every ratio beside its target, and the
    absolute figures as a share of their limits."""
    gnuplot = shutil.which("gnuplot")
    if not gnuplot:
        return None
    decode_data = os.path.join(out_dir, "plot-decode.dat")
    with open(decode_data, "w") as f:
        for size in DECODE_SIZES:
            f.write(f"{size} {per_light[size]:.4f}\n")
    ratio_data = os.path.join(out_dir, "plot-ratios.dat")
    labels = ["decode\\nflatness", "devices()", "toggle()", "refresh", "refresh,\\nnew status",
              "memory", "idle poll", "start-up", "verb"]
    # The peak memory of a refresh (figure 7) has a scale of its own.
    ratios = [r for r in rows
              if r["ratio"] is not None and r["limit"] is not None and r["figure"] != 7]
    if len(ratios) != len(labels):
        raise ValueError(f"{len(ratios)} ratios to plot for {len(labels)} labels")
    with open(ratio_data, "w") as f:
        for label, r in zip(labels, ratios):
            f.write(f"\"{label}\" {r['ratio']:.4f} {r['limit']}\n")
    share_data = os.path.join(out_dir, "plot-shares.dat")
    absolute = [r for r in rows if r["ratio"] is None and r["limit"] is not None]
    shares = [r["value"] / r["limit"] for r in absolute]
    with open(share_data, "w") as f:
        for label, r, share in zip(["idle CPU", "idle CPU, cameras", "click to icon"], absolute,
                                   shares):
            f.write(f"\"{label}\\n{r['glowdeck']}\" {share:.4f}\n")
    # Room for the tallest bar: a figure far over its limit is drawn whole, not cut off.
    share_top = max([1.5] + [share * 1.1 for share in shares])
    png = os.path.join(out_dir, "plot.png")
    script = f"""
set terminal pngcairo size 1500,520 font "sans,10"
set output "{png}"
set multiplot layout 1,3 columns title "Glowdeck benchmarks, {info['date']}: {info['cpu']}, {info['cores']} cores"
set grid ytics
set bmargin 7
set style fill solid 0.8 border -1
set title "Decode: CPU time per light"
set logscale x 10
set xlabel "lights in the report"
set ylabel "µs per light"
set yrange [0:*]
plot "{decode_data}" using 1:2 with linespoints pointtype 7 linewidth 2 notitle
unset logscale x
set title "Against the floor (ratio; lower is better)"
set xlabel ""
set ylabel "Glowdeck ÷ floor"
set style data histogram
set style histogram clustered gap 1
set boxwidth 0.9
set xtics rotate by -30 scale 0
set key top left
plot "{ratio_data}" using 2:xtic(1) title "measured", "" using 3 title "target (at most)"
set title "Absolute figures, share of their limit"
set ylabel "measured ÷ limit"
set yrange [0:{share_top:.2f}]
set xtics norotate
set boxwidth 0.5
set style data boxes
unset key
plot "{share_data}" using 0:2:xtic(1) with boxes linecolor rgb "#9400d3", 1 with lines linewidth 2 linecolor rgb "#009e73" title "limit"
unset multiplot
"""
    subprocess.run([gnuplot], input=script, text=True, check=True)
    return png


def write(out_dir, info, rows, per_light, raw):
    os.makedirs(out_dir, exist_ok=True)
    text = table(rows, info)
    with open(os.path.join(out_dir, "table.txt"), "w") as f:
        f.write(text)
    with open(os.path.join(out_dir, "results.json"), "w") as f:
        json.dump({"machine": info, "figures": rows,
                   "decode_per_light_us": {str(k): v for k, v in per_light.items()},
                   "measurements": raw}, f, indent=2, ensure_ascii=False)
    png = plot(out_dir, rows, per_light, info)
    return text, png
