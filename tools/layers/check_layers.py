#!/usr/bin/env python3
"""The program's folders include one way only.

Two trees: the GUI-free core (folders at the top of the source tree) and the Qt front end
under desktop/. Every C++ file of both trees is read, whether a build file lists it or not.
A file fails when
  - it lies in the core and includes Qt or anything under desktop/;
  - it includes a folder of its own tree that stands above its own folder.
The front end may include any folder of the core. Each failure names the file and the include.
"""
import os
import re
import sys

# Highest first: a folder may include only itself and the folders after it.
CORE = ["app", "project", "refedit", "reports", "document", "selection", "calc", "data"]
DESKTOP = ["", "shell", "cli", "project", "refedit", "selection", "input", "reports", "widgets"]

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
root = os.path.abspath(root)
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.M)


def sources(base):
    for dirpath, _, names in os.walk(base):
        for n in sorted(names):
            if n.endswith((".cpp", ".h")):
                yield os.path.join(dirpath, n)


def rank(order, folder):
    return order.index(folder) if folder in order else None


faults = []
checked = 0
for top in CORE:
    for full in sources(os.path.join(root, top)):
        checked += 1
        path = os.path.relpath(full, root)
        for inc in INCLUDE.findall(open(full, encoding="utf-8").read()):
            head = inc.split("/")[0]
            if re.match(r"Q[A-Za-z]*$", head) or head.startswith("Qt"):
                faults.append(f"{path}: a Qt include <{inc}> in the core")
            elif head == "desktop":
                faults.append(f"{path}: the core includes the front end ({inc})")
            elif head in CORE and CORE.index(head) < CORE.index(top):
                faults.append(f"{path}: includes {head}/ which stands above {top}/")

desk = os.path.join(root, "desktop")
for full in sources(desk):
    checked += 1
    path = os.path.relpath(full, root)
    rel = os.path.relpath(full, desk).split(os.sep)
    own = rel[0] if len(rel) > 1 else ""
    if rank(DESKTOP, own) is None:
        faults.append(f"{path}: desktop/{own}/ has no place in the order")
        continue
    for inc in INCLUDE.findall(open(full, encoding="utf-8").read()):
        parts = inc.split("/")
        if parts[0] != "desktop" or len(parts) < 3:
            continue
        r = rank(DESKTOP, parts[1])
        if r is None or r < rank(DESKTOP, own):
            faults.append(f"{path}: includes desktop/{parts[1]}/ which stands above "
                          f"desktop/{own or '.'}")

for f in sorted(set(faults)):
    print(f)
print(f"checked {checked} files")
print(f"{0 if faults else 1} passed, {1 if faults else 0} failed")
sys.exit(1 if faults else 0)
