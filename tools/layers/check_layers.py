#!/usr/bin/env python3
"""The core's folders include one way only.

Reads the GUI-free sources (the files each folder's core.cmake lists, with their headers)
and fails when a folder includes one that stands above it, naming the file and the include.
"""
import os
import re
import sys

# Highest first: a folder may include only the folders after it.
ORDER = ["app", "project", "refedit", "reports", "document", "selection", "calc", "input", "data"]

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
root = os.path.abspath(root)


def core_files():
    for folder in ORDER:
        base = os.path.join(root, folder)
        if not os.path.isdir(base):
            continue
        listed = set()
        for dirpath, _, names in os.walk(base):
            for n in names:
                if n == "core.cmake":
                    text = open(os.path.join(dirpath, n), encoding="utf-8").read()
                    listed.update(re.findall(r"(\S+\.cpp)", text))
        for cpp in sorted(listed):
            for path in (cpp, cpp[:-4] + ".h"):
                full = os.path.join(root, path)
                if os.path.exists(full):
                    yield folder, path, full


faults = []
for folder, path, full in core_files():
    text = open(full, encoding="utf-8").read()
    for inc in re.findall(r'#include "([a-z]+)/', text):
        if inc not in ORDER or inc == folder:
            continue
        if ORDER.index(inc) < ORDER.index(folder):
            faults.append(f"{path}: includes {inc}/ which stands above {folder}/")
        if re.search(r"#include <Q", text):
            faults.append(f"{path}: a Qt include in the core")
for f in sorted(set(faults)):
    print(f)
print(f"{0 if faults else 1} passed, {1 if faults else 0} failed")
sys.exit(1 if faults else 0)
