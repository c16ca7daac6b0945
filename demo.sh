#!/usr/bin/env bash
# Sets everything up and opens the Zekerpad wizard under Wine on a demo
# world: a show C:\Shows\Demo\demo.ws4 that gives every page work, with a
# stand-in for Wings registered. With a display you walk the wizard
# yourself; without one it is walked by itself on a virtual screen, a
# screenshot of every step is saved and the folder is printed.
set -euo pipefail
src=$(cd "$(dirname "$0")" && pwd)
build="$src/build"

"$src/tools/install-deps.sh"
cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j2 --target Zekerpad zekerpad_manual wings zk_demo_world zk_walk >/dev/null

had_display=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then had_display=1; fi

# shellcheck source=tests/wine-env.sh
source "$src/tests/wine-env.sh" "$build"
zk_start_screen
zk_make_prefix
zk_start_server
trap 'zk_stop_server; zk_stop_screen' EXIT

winpath() { echo "Z:${1//\//\\}"; }

wine "$build/tests/zk_demo_world.exe" "$(winpath "$build/tests/wings")" >"$build/demo-wine.log" 2>&1 </dev/null
# The stand-in for Wings re-links the show when it is closed, as Wings does
# once the user has let it search and saved the show.
export ZK_WINGS_RELINK=1

if [ "$had_display" = 1 ]; then
    echo "Zekerpad opent op $DISPLAY met de demoshow C:\\Shows\\Demo\\demo.ws4; sluit de wizard om te stoppen." >&2
    wine "$build/Zekerpad.exe" >>"$build/demo-wine.log" 2>&1 </dev/null
    exit 0
fi

shots="$build/demo-screenshots"
rm -rf "$shots"
mkdir -p "$shots"
status=0
wine "$build/tests/zk_walk.exe" "$(winpath "$build/Zekerpad.exe")" "$(winpath "$shots")" </dev/null \
    2>>"$build/demo-wine.log" | tr -d '\r' | iconv -f CP1252 -t UTF-8 || status=$?
for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
iconv -f CP1252 -t UTF-8 "$WINEPREFIX/drive_c/Zekerpad.log" | tr -d '\r' >"$shots/Zekerpad.log" || true
echo "Schermafdrukken van elke stap en het logboek: $shots"
exit $status
