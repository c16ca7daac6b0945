#!/usr/bin/env bash
# Builds Zekerpad and its tests for Windows and runs them under Wine on a
# virtual screen; then the window-free core natively under the sanitizers,
# with a bounded fuzzing run.
#
#   tests/run-tests.sh [BUILD_DIR] [ctest arguments...]
#
# ZK_FUZZ_SECONDS (default 60) bounds the fuzzing run; 0 skips it.
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build}
shift || true
mkdir -p "$build"
build=$(cd "$build" && pwd)

echo "== Windows build in $build" >&2
cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" >&2
cmake --build "$build" -j2 >&2

# shellcheck source=tests/wine-env.sh
source "$src/tests/wine-env.sh" "$build"
zk_start_screen
zk_make_prefix
zk_mount_small_disk
zk_start_server
trap 'zk_stop_screen; zk_stop_server; zk_unmount_small_disk' EXIT

echo "== Tests under Wine" >&2
status=0
# A test that fails is run once more: Wine's loader now and then aborts a
# process at its exit after every assertion passed ("Inconsistency detected
# by ld.so: dl-fini.c"), which says nothing of the program. A test that
# fails twice fails the run, and ctest names every test that needed a
# second try.
ctest --test-dir "$build" --output-on-failure --repeat until-pass:2 "$@" </dev/null || status=$?

if [ $# -eq 0 ]; then
    native="$build/native"
    echo "== Native build with the sanitizers in $native" >&2
    cc=clang++
    command -v clang++ >/dev/null || cc=g++
    cmake -S "$src/tests/native" -B "$native" -DCMAKE_CXX_COMPILER="$cc" \
        -DFUZZ_SECONDS="${ZK_FUZZ_SECONDS:-60}" >&2
    cmake --build "$native" -j2 >&2
    ctest --test-dir "$native" --output-on-failure </dev/null || status=$?
fi

exit $status
