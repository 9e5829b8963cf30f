"""The peak memory of one refresh per byte of device report, for reports of several shapes:
what matters is the worst of them, since litra's output is not ours to choose."""

import os
import subprocess
import tempfile

MIB = 1024 * 1024


def shapes():
    """Reports of about 3.9 MB each, of the shapes that cost the most per byte."""
    light = ('{"serial_number":"SIM-0001","device_type":"Sim Panel","is_on":true,'
             '"brightness_in_lumen":120,"temperature_in_kelvin":4500,'
             '"minimum_brightness_in_lumen":20,"maximum_brightness_in_lumen":250,'
             '"minimum_temperature_in_kelvin":2700,"maximum_temperature_in_kelvin":6500}')
    size = 3_900_000
    return {
        "1.3 million empty objects": "[" + ",".join(["{}"] * (size // 3)) + "]",
        "one light with a 3.9 MB serial number": '[{"serial_number":"' + "x" * size + '"}]',
        "256 lights and 3.8 MB of spaces": "[" + ",".join([light] * 256) + " " * size + "]",
        "unknown members nested 100,000 deep": '[{"x":' + "[" * 100_000 + "]" * 100_000 + "}]",
    }


def refresh_memory(build_dir, log=print):
    binary = os.path.join(build_dir, "bin", "glowdeck-refresh-memory")
    results = []
    with tempfile.TemporaryDirectory() as folder:
        litra = os.path.join(folder, "litra")
        report = os.path.join(folder, "report.json")
        with open(litra, "w") as f:
            f.write(f"#!/bin/sh\nexec cat '{report}'\n")
        os.chmod(litra, 0o755)
        for name, text in shapes().items():
            with open(report, "w") as f:
                f.write(text)
            out = subprocess.run([binary, litra], capture_output=True, text=True, check=True)
            added_kib, outcome = out.stdout.strip().split(" ", 1)
            entry = {"shape": name, "report_bytes": len(text), "added_kib": int(added_kib),
                     "outcome": outcome}
            entry["per_byte"] = entry["added_kib"] * 1024 / entry["report_bytes"]
            results.append(entry)
            log(f"  {name}: +{entry['added_kib'] / 1024:.1f} MiB for "
                f"{entry['report_bytes'] / MIB:.1f} MiB ({entry['per_byte']:.1f}×); {outcome}")
    return results
