#!/usr/bin/env python3
"""Fails when a source under src/ includes a folder above its own.

The folders are layers, lowest first; a folder may include itself and the
folders below it, and nothing includes app/, the entry point. A new folder
must be given its place here (and in the README's structure section).

    tools/check-layers.py [SRC_DIR]
"""
import os
import re
import sys

LAYERS = [
    "common",     # RAII wrappers, text helpers, partial files, errors
    "files",      # the file reference record, file and path helpers
    "services",   # shared state, settings, run log, message boxes, help
    "wizard",     # sheet, page base, dialogs, status picture, long work
    "analysis",   # show scan, analysis page, folder search
    "media",      # a file's contents: whole, and the kind its name says
    "repair",     # Wings launcher, red and yellow pages, missing files
    "report",     # HTML report, check of every show
    "backup",     # back-up of the show's folder
    "selection",  # selection page
    "pages",      # introduction, other-files and closing pages, settings
    "app",        # WinMain, command line, page registry, application
]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.M)


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    rank = {name: i for i, name in enumerate(LAYERS)}
    problems = []
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        if folder not in rank:
            problems.append(f"src/{folder}/ has no place in the layers of {os.path.basename(__file__)}")
            continue
        for dirpath, _, names in os.walk(path):
            for name in sorted(names):
                if not name.endswith((".h", ".cpp")):
                    continue
                file = os.path.join(dirpath, name)
                with open(file, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for target in INCLUDE.findall(text):
                    where = os.path.relpath(file, os.path.dirname(src))
                    if target not in rank:
                        continue  # not one of our folders
                    if target == "app" and folder != "app":
                        problems.append(f"{where}: includes app/, the entry point")
                    elif rank[target] > rank[folder]:
                        problems.append(f"{where}: {folder}/ includes {target}/, which lies above it")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
