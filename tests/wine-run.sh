#!/usr/bin/env bash
# CTest's way to run a test program under Wine. Now and then, on a loaded
# machine, Wine fails to start a program at all: it ends at once, having
# printed nothing (a test program always prints GoogleTest's first line).
# That start, and only that, is tried once more, and said so; a test that
# runs and fails is never run again. The output goes to a file, never a
# pipe, so Wine's helper processes cannot hold the run open.
set -u
out=$(mktemp)
trap 'rm -f "$out"' EXIT
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
if [ "$rc" -ne 0 ] && [ ! -s "$out" ]; then
    echo "[wine-run] the program did not start (exit code $rc, no output); starting it once more" >&2
    wine "$@" >"$out" 2>&1 </dev/null
    rc=$?
fi
cat "$out"
exit "$rc"
