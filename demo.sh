#!/usr/bin/env bash
# Sets everything up and opens the Zekerpad wizard under Wine: on your
# display when there is one, else on a virtual screen, where it takes a
# screenshot of the first page and prints where it is.
set -euo pipefail
src=$(cd "$(dirname "$0")" && pwd)
build="$src/build"

"$src/tools/install-deps.sh"
cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j2 --target Zekerpad >/dev/null

had_display=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then had_display=1; fi

# shellcheck source=tests/wine-env.sh
source "$src/tests/wine-env.sh" "$build"
zk_start_screen
zk_make_prefix
zk_start_server
trap 'zk_stop_server; zk_stop_screen' EXIT

if [ "$had_display" = 1 ]; then
    echo "Zekerpad opent op $DISPLAY; sluit de wizard om te stoppen." >&2
    wine "$build/Zekerpad.exe" >"$build/demo-wine.log" 2>&1 </dev/null
    exit 0
fi

shots="$build/screenshots"
mkdir -p "$shots"
wine "$build/Zekerpad.exe" >"$build/demo-wine.log" 2>&1 </dev/null &
zk_pid=$!
win=$(xdotool search --sync --onlyvisible --name "^Zekerpad - " 2>/dev/null | head -n 1)
sleep 1
import -window "$win" "$shots/demo-introductie.png"
# Escape is the wizard's Cancel: the run ends as a user's would.
xdotool key --window "$win" Escape
for _ in $(seq 100); do kill -0 "$zk_pid" 2>/dev/null || break; sleep 0.1; done
wait "$zk_pid" || true
echo "Schermafdruk van de eerste pagina: $shots/demo-introductie.png"
echo "Logboek van de run: $WINEPREFIX/drive_c/Zekerpad.log"
