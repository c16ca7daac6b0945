#!/usr/bin/env bash
# Sourced by every script that runs Windows programs of ours under Wine.
# Makes (once) a fresh prefix inside the given build folder, with the drives
# the tests rely on, and keeps one wineserver running.
#
#   source tests/wine-env.sh BUILD_DIR
#
# C: is the prefix's own drive, D: a fixed drive and E: a removable drive,
# both folders of the build tree; Z: (the Linux root) is marked as a network
# drive so that a search of the fixed drives never walks the Linux system.
# The user's shell folders (Documents, Desktop, ...) are plain folders in the
# prefix, not Wine's usual links into $HOME: what the demo and the tests save
# there stays inside the build folder.

zk_build_dir=$(cd "${1:?build folder}" && pwd)
export WINEPREFIX="$zk_build_dir/wineprefix"
# No Mono or Gecko to fetch, and no menu entries or file types written into
# $HOME/.local and $HOME/.config by Wine's menu builder.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export WINEDEBUG=-all
export WINEARCH=win64
export LANG=nl_NL.UTF-8
export LC_ALL=nl_NL.UTF-8
export ZK_DRIVE_D="$zk_build_dir/drives/d"
export ZK_DRIVE_E="$zk_build_dir/drives/e"
export ZK_DRIVE_C="$WINEPREFIX/drive_c"
# Wine keeps the Recycle Bin of every fixed drive as the desktop's trash in
# $XDG_DATA_HOME/Trash: inside the build folder, never the user's own. Wine
# makes Trash but not the folder above it; without that folder it has no
# bin and asks before deleting for good.
export XDG_DATA_HOME="$zk_build_dir/xdg-data"
mkdir -p "$XDG_DATA_HOME"

zk_log() { echo "[wine-env] $*" >&2; }

# The marker of a finished prefix. Its name changes whenever the making
# changes, so that an older prefix is made again.
zk_ready_marker="$WINEPREFIX/.zk-ready-plain-folders"

# wineboot links Documents, Desktop, Music and the rest to the folders of
# the same name in $HOME (or to $HOME itself): each link becomes an empty
# folder of the prefix's own.
zk_unlink_shell_folders() {
    local link
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
        [ -L "$link" ] || continue
        rm -f "$link" && mkdir -p "$link" || return 1
    done
}

zk_make_prefix() {
    zk_start_screen || return 1
    mkdir -p "$ZK_DRIVE_D" "$ZK_DRIVE_E"
    if [ ! -f "$zk_ready_marker" ]; then
        zk_log "making a fresh Wine prefix in $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        wineboot -i >"$zk_build_dir/wineboot.log" 2>&1 </dev/null
        wineserver -w
        zk_unlink_shell_folders || { zk_log "could not replace the shell folder links"; return 1; }
        wine reg add 'HKLM\Software\Wine\Drives' /v 'z:' /d network /f /reg:64 \
            >>"$zk_build_dir/wineboot.log" 2>&1 </dev/null
        wine reg add 'HKLM\Software\Wine\Drives' /v 'e:' /d floppy /f /reg:64 \
            >>"$zk_build_dir/wineboot.log" 2>&1 </dev/null
        wine reg add 'HKLM\Software\Wine\Drives' /v 'd:' /d hd /f /reg:64 \
            >>"$zk_build_dir/wineboot.log" 2>&1 </dev/null
        # Without a window manager Wine draws the title bars itself, so
        # screenshots show the caption and the system menu button.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
            >>"$zk_build_dir/wineboot.log" 2>&1 </dev/null
        wineserver -w
        touch "$zk_ready_marker"
    fi
    ln -sfn "$ZK_DRIVE_D" "$WINEPREFIX/dosdevices/d:"
    ln -sfn "$ZK_DRIVE_E" "$WINEPREFIX/dosdevices/e:"
}

# A small real disk for the tests of a full disk: a 3 MiB tmpfs as drive
# F:, when this user may mount (root). Tests find it through
# ZK_SMALL_DISK ("F:\") and skip themselves when it is not set.
zk_mount_small_disk() {
    local dir="$zk_build_dir/drives/small"
    rm -f "$WINEPREFIX/dosdevices/f:"
    unset ZK_SMALL_DISK
    mkdir -p "$dir"
    if ! mountpoint -q "$dir"; then
        [ "$(id -u)" = 0 ] || return 0
        mount -t tmpfs -o size=3m zk-small-disk "$dir" 2>/dev/null || return 0
    fi
    ln -sfn "$dir" "$WINEPREFIX/dosdevices/f:"
    export ZK_SMALL_DISK='F:\'
}

zk_unmount_small_disk() {
    local dir="$zk_build_dir/drives/small"
    rm -f "$WINEPREFIX/dosdevices/f:"
    if mountpoint -q "$dir" 2>/dev/null; then umount "$dir" 2>/dev/null || true; fi
}

# One persistent wineserver for the whole run: each program then starts in
# a fraction of the time. Its output goes to a file, never to a pipe.
# Wine's desktop process starts with the server and binds to the display it
# finds then: the screen must exist first, or no window can ever be made.
zk_start_server() {
    zk_start_screen || return 1
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p >"$zk_build_dir/wineserver.log" 2>&1 </dev/null
    wine cmd /c exit >>"$zk_build_dir/wineserver.log" 2>&1 </dev/null || true
}

zk_stop_server() { wineserver -k >/dev/null 2>&1 || true; }

# A screen: the user's display when there is one, else our own Xvfb.
zk_start_screen() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n
    for n in 91 92 93 94 95 96 97 98 99; do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$zk_build_dir/xvfb.log" 2>&1 </dev/null &
            ZK_XVFB_PID=$!
            export DISPLAY=":$n"
            local i
            for i in $(seq 50); do
                xdpyinfo >/dev/null 2>&1 && return 0
                sleep 0.1
            done
            zk_log "Xvfb did not start"
            return 1
        fi
    done
    zk_log "no free display number for Xvfb"
    return 1
}

zk_stop_screen() {
    if [ -n "${ZK_XVFB_PID:-}" ]; then
        kill "$ZK_XVFB_PID" 2>/dev/null || true
        wait "$ZK_XVFB_PID" 2>/dev/null || true
        unset ZK_XVFB_PID
    fi
}
