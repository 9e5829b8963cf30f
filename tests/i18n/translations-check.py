#!/usr/bin/env python3
"""Fails when a text the user sees has no translation in a shipped language.

lupdate reads the sources afresh into a copy of each translations/glowdeck_*.ts, so that a text
new in the code counts as missing until it is translated. Also a failure: a translation that
drops or adds a placeholder, and a tr() that lupdate cannot read (its text would never be
translated). English holds the plural forms only.

Usage: translations-check.py LUPDATE SOURCE_DIR
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

lupdate, source_dir = sys.argv[1], pathlib.Path(sys.argv[2])
placeholder = re.compile(r"%(?:\d|n)")
problems = []
with tempfile.TemporaryDirectory() as temp:
    files = sorted((source_dir / "translations").glob("glowdeck_*.ts"))
    for ts in files:
        copy = pathlib.Path(temp) / ts.name
        shutil.copy(ts, copy)
        plurals = ["-pluralonly"] if ts.stem == "glowdeck_en" else []
        run = subprocess.run([lupdate, "-locations", "none", "-no-obsolete", *plurals,
                              str(source_dir / "src"), "-ts", str(copy)],
                             capture_output=True, text=True, check=True)
        # Lines like "src/x.cpp:12: tr() cannot be called without context".
        problems += [f"lupdate: {line}" for line in (run.stdout + run.stderr).splitlines()
                     if re.match(r"\S+:\d+: ", line)]
        for context in ET.parse(copy).getroot().iter("context"):
            for message in context.iter("message"):
                source = message.findtext("source")
                translation = message.find("translation")
                forms = [form.text or "" for form in translation.iter("numerusform")]
                forms = forms or [translation.text or ""]
                wanted = sorted(set(placeholder.findall(source)))
                if translation.get("type") in ("unfinished", "vanished") or not all(forms):
                    why = "not translated"
                elif any(sorted(set(placeholder.findall(form))) != wanted for form in forms):
                    why = "placeholders differ from " + " ".join(wanted)
                else:
                    continue
                problems.append(f"{ts.name}: {context.findtext('name')}: {source!r}: {why}")
    if len(files) < 4:
        problems.append(f"expected glowdeck_en, _de, _fr and _es.ts, found {len(files)} files")

for problem in dict.fromkeys(problems):
    print(problem)
print(f"{len(problems)} problems in {len(files)} translations")
sys.exit(1 if problems else 0)
