#!/usr/bin/env bash
# Runs a command on a private KDE Plasma-like Wayland session: a headless
# kwin_wayland (1280 x 1024, with XWayland) on a D-Bus session bus of its own,
# and a dock through XWayland that takes 28 pixels off the bottom of the
# screen. Everything started here is stopped again when the command ends.
#
#   scripts/with-kwin-session.sh [--system NAME] [--dock PROGRAM] [--] COMMAND [ARGS...]
#
# --system runs KWin from a test system (scripts/test-systems.sh) instead of
# this machine's. PROGRAM is the test helper that draws the dock
# (pentrax_test_window). The
# command finds the session in WAYLAND_DISPLAY, DISPLAY (XWayland),
# DBUS_SESSION_BUS_ADDRESS, XDG_RUNTIME_DIR and TMPDIR (where KWin reads the
# scripts it is given), and KWin's process id in PENTRAX_KWIN_PID. Everything runs as the calling user (root on CI): the
# bus lets in only its own user.
set -euo pipefail

system=""
dock_program=""
while [ $# -gt 0 ]; do
  case $1 in
    --system) system=$2; shift 2 ;;
    --dock) dock_program=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--system NAME] [--dock PROGRAM] COMMAND..." >&2; exit 2; }

# shellcheck source=scripts/session-common.sh
. "$(dirname "$0")/session-common.sh"
session_start kwin
start_kwin=session_spawn
if [ -n "$system" ]; then
  system_start "$system"
  start_kwin=system_spawn
fi
desktop_named KWin kwin-wayland

export XDG_RUNTIME_DIR="$workdir/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
# KWin and the programs started here keep their settings in the session.
export XDG_CONFIG_HOME="$workdir/config"
export HOME="$workdir"
# Files that KWin is to read (scripts) in the folder that it sees too.
export TMPDIR="$workdir/tmp"
mkdir "$TMPDIR"
# Nothing of the caller's desktop: Pentrax would choose its backend from it.
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK

session_bus

# Plasma 6 asks the user before an X client injects input (XTEST, which its
# Xwayland passes on to KWin); here xdotool plays the user, in this
# session's KWin alone (its settings are the session's).
mkdir -p "$XDG_CONFIG_HOME"
printf '[Xwayland]\nXwaylandEisNoPrompt=true\n' >"$XDG_CONFIG_HOME/kwinrc"

# /usr/bin/kwin_wayland carries a file capability (cap_sys_resource) that a
# container may not grant, and then it cannot be started; a copy has none.
cp "${system_root:-}/usr/bin/kwin_wayland" "$workdir/kwin_wayland"
# KWin starts this once XWayland is up, with the session's DISPLAY.
printf '#!/bin/sh\necho "$DISPLAY" >"%s/display.tmp" && mv "%s/display.tmp" "%s/display"\n' \
  "$workdir" "$workdir" "$workdir" >"$workdir/tell-display"
chmod +x "$workdir/tell-display"
# (KWin's log takes what the session's own scripts print.)
$start_kwin kwin env KWIN_COMPOSE=Q QT_LOGGING_RULES=kwin_scripting.debug=true \
  "$workdir/kwin_wayland" --virtual \
  --width 1280 --height 1024 --xwayland --socket wayland-pentrax \
  --no-lockscreen --no-global-shortcuts --no-kactivities "$workdir/tell-display"
kwin_pid=$spawned
# (The first start on a cold machine takes many seconds.)
wait_for 90 "KWin to start XWayland (and run tell-display)" test -s "$workdir/display"
wait_for 30 "KWin's scripting to answer on the session bus" \
  dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
  org.kde.kwin.Scripting.isScriptLoaded string:none
export WAYLAND_DISPLAY=wayland-pentrax
PENTRAX_KWIN_PID=$(session_pid "$kwin_pid")
export PENTRAX_KWIN_PID
DISPLAY=$(cat "$workdir/display")
export DISPLAY
# As on Plasma's own Wayland session.
export XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland

# KWin's work area, as a script of the session's own prints it into KWin's
# log (one script a call; "start" runs a script whose number still belongs
# to another on its way out, as Pentrax's agent does).
probes=0
kwin_area_is() { # X,Y,WIDTH,HEIGHT
  local id
  probes=$((probes + 1))
  printf '%s\nprint("pentrax-area " + [a.x, a.y, a.width, a.height].join());\n' \
    'var a = workspace.clientArea(KWin.MaximizeArea, workspace.activeScreen, workspace.currentDesktop);' \
    >"$TMPDIR/area$probes.js"
  id=$(dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
    org.kde.kwin.Scripting.loadScript string:"$TMPDIR/area$probes.js" \
    string:"pentrax-area$probes" | awk '/int32/ { print $2 }')
  dbus-send --session --print-reply --dest=org.kde.KWin "/Scripting/Script$id" \
    org.kde.kwin.Script.run ||
    dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
      org.kde.kwin.Scripting.start
  grep -q "pentrax-area $1\$" "$workdir/kwin.log"
}

# A dock of 28 pixels at the bottom: a window of the X11 type dock with a
# strut, through XWayland, where KWin tells X clients its work area (5.27,
# 6.3); where it does not (6.7, which leaves X struts out of the work area),
# a Wayland layer-shell bar with an exclusive zone (sway's swaynag, its
# height set by its font and paddings).
if [ -n "$dock_program" ]; then
  if xprop -root _NET_WORKAREA | grep -q =; then
    session_spawn dock "$dock_program" --dock 28
    wait_for 30 "KWin to take the 28-pixel X11 dock off the work area" dock_in_place 1280 1024
  else
    $start_kwin dock swaynag --edge bottom --layer top --message pentrax-dock \
      --font 'monospace 11' --message-padding 4 --button-padding 2
    wait_for 30 "KWin to take the 28-pixel layer-shell bar (swaynag) off the work area" \
      kwin_area_is 0,0,1280,996
  fi
fi

session_run "$@"
