#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that no file of the runtime includes a header from a floor above its own.

The build already fails when a source file does so, because each floor's library adds only
its own folder to the include path. A header that no source file of its own floor includes
would slip through until someone above includes it; this check reads every file. The
floors and what each may use come from forms/CMakeLists.txt, so the two cannot differ.
With --show, prints each floor and what it uses, for the architecture page.
"""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 and sys.argv[1] != "--show" else
                    pathlib.Path(__file__).resolve().parents[2])
forms = root / "forms"
text = (forms / "CMakeLists.txt").read_text()

below = {}
for name, body in re.findall(r"forms_floor\((\w+)\s+BELOW\s+([^)]*?)\s+SOURCES", text):
    below[name] = [word[len("forms_"):] for word in body.split() if word.startswith("forms_")]
if not below:
    sys.exit("no forms_floor(NAME BELOW ... SOURCES ...) found in forms/CMakeLists.txt")


def reachable(floor):
    seen = set()
    todo = [floor]
    while todo:
        for lower in below[todo.pop()]:
            if lower not in seen:
                seen.add(lower)
                todo.append(lower)
    return seen


home = {}
for floor in below:
    for path in (forms / floor).iterdir():
        home[path.name] = floor

faults = []
for floor in below:
    allowed = reachable(floor) | {floor}
    for path in sorted((forms / floor).iterdir()):
        if path.suffix not in (".h", ".cpp"):
            continue
        for number, line in enumerate(path.read_text().splitlines(), 1):
            match = re.match(r'\s*#\s*include\s+"([^"]+)"', line)
            if not match or match.group(1).endswith(".moc"):
                continue
            included = match.group(1)
            where = home.get(included)
            if where is None:
                faults.append(f"forms/{floor}/{path.name}:{number}: {included} is in no floor")
            elif where not in allowed:
                faults.append(f"forms/{floor}/{path.name}:{number}: includes {included} "
                              f"from {where}, above {floor}")
stray = [p.name for p in forms.iterdir() if p.is_file() and p.suffix in (".h", ".cpp")]
faults += [f"forms/{name}: outside every floor" for name in stray]

if "--show" in sys.argv:
    for floor in below:
        print(f"{floor}: uses {', '.join(sorted(reachable(floor))) or 'Qt only'}")
for fault in faults:
    print(fault)
print(f"{len(below)} floors, {len(home)} files, {len(faults)} includes out of place")
sys.exit(1 if faults else 0)
