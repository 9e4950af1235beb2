#!/usr/bin/env bash
# Runs a command on a private KDE Plasma-like Wayland session: a headless
# kwin_wayland (1280 x 1024, with XWayland) on a D-Bus session bus of its own,
# and a dock through XWayland that takes 28 pixels off the bottom of the
# screen. Everything started here is stopped again when the command ends.
#
#   scripts/with-kwin-session.sh [--dock PROGRAM] [--] COMMAND [ARGS...]
#
# PROGRAM is the test helper that draws the dock (pentrax_test_window). The
# command finds the session in WAYLAND_DISPLAY, DISPLAY (XWayland),
# DBUS_SESSION_BUS_ADDRESS and XDG_RUNTIME_DIR, and KWin's process id in
# PENTRAX_KWIN_PID. Everything runs as the calling user (root on CI): the
# bus lets in only its own user.
set -euo pipefail

dock_program=""
if [ "${1:-}" = "--dock" ]; then
  dock_program=$2
  shift 2
fi
[ "${1:-}" = "--" ] && shift
[ $# -gt 0 ] || { echo "usage: $0 [--dock PROGRAM] COMMAND..." >&2; exit 2; }

# shellcheck source=scripts/session-common.sh
. "$(dirname "$0")/session-common.sh"
session_start kwin

export XDG_RUNTIME_DIR="$workdir/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
# KWin and the programs started here keep their settings in the session.
export XDG_CONFIG_HOME="$workdir/config"
export HOME="$workdir"
# Nothing of the caller's desktop: Pentrax would choose its backend from it.
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK

session_bus

# /usr/bin/kwin_wayland carries a file capability (cap_sys_resource) that a
# container may not grant, and then it cannot be started; a copy has none.
cp "$(command -v kwin_wayland)" "$workdir/kwin_wayland"
# KWin starts this once XWayland is up, with the session's DISPLAY.
printf '#!/bin/sh\necho "$DISPLAY" >"%s/display.tmp" && mv "%s/display.tmp" "%s/display"\n' \
  "$workdir" "$workdir" "$workdir" >"$workdir/tell-display"
chmod +x "$workdir/tell-display"
session_spawn kwin env KWIN_COMPOSE=Q "$workdir/kwin_wayland" --virtual \
  --width 1280 --height 1024 --xwayland --socket wayland-pentrax \
  --no-lockscreen --no-global-shortcuts --no-kactivities "$workdir/tell-display"
export PENTRAX_KWIN_PID=$!
# (The first start on a cold machine takes many seconds.)
wait_for 90 "KWin to start XWayland (and run tell-display)" test -s "$workdir/display"
wait_for 30 "KWin's scripting to answer on the session bus" \
  dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
  org.kde.kwin.Scripting.isScriptLoaded string:none
export WAYLAND_DISPLAY=wayland-pentrax
DISPLAY=$(cat "$workdir/display")
export DISPLAY
# As on Plasma's own Wayland session.
export XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland

if [ -n "$dock_program" ]; then
  session_spawn dock "$dock_program" --dock 28
  wait_for 30 "KWin to take the 28-pixel dock off the work area" dock_in_place 1280 1024
fi

session_run "$@"
