#!/usr/bin/env bash
# Runs a command on a private virtual desktop: Xvfb (1280 x 1024), a window
# manager (openbox, or KWin on X11 with a session bus of its own) and a dock
# that takes 28 pixels off the bottom of the screen. Everything started here
# is stopped again when the command ends.
#
#   scripts/with-x-session.sh [--wm openbox|kwin_x11] [--screen WxH]
#                             [--monitor GEOMETRY]...
#                             [--dock PROGRAM [--dock-span X WIDTH]]
#                             [--] COMMAND [ARGS...]
#
# --monitor lays RandR monitors over the screen (xrandr --setmonitor, e.g.
# 1280/338x1024/270+0+0); PROGRAM is the test helper that draws the dock
# (pentrax_test_window); --dock-span puts it along that part of the bottom
# edge only.
set -euo pipefail

wm=openbox
screen=1280x1024
monitors=()
dock_program=""
dock_span=()
while [ $# -gt 0 ]; do
  case $1 in
    --wm) wm=$2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    --monitor) monitors+=("$2"); shift 2 ;;
    --dock) dock_program=$2; shift 2 ;;
    --dock-span) dock_span=(--span "$2,$3"); shift 3 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [options] COMMAND..." >&2; exit 2; }
case $wm in
  openbox | kwin_x11) ;;
  *) echo "$0: unknown window manager $wm" >&2; exit 2 ;;
esac

# shellcheck source=scripts/session-common.sh
. "$(dirname "$0")/session-common.sh"
session_start x

# -displayfd picks a free display number, so parallel runs never collide.
exec {fd}>"$workdir/display"
Xvfb -displayfd "$fd" -screen 0 "${screen}x24" -nolisten tcp -noreset \
  >"$workdir/xvfb.log" 2>&1 &
pids+=($!)
exec {fd}>&-
for _ in $(seq 100); do
  [ -s "$workdir/display" ] && break
  sleep 0.05
done
[ -s "$workdir/display" ] || { cat "$workdir/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$workdir/display")"
export XDG_RUNTIME_DIR="$workdir"  # private, mode 0700 from mktemp
# Programs started here keep their settings in the session's own folder.
export XDG_CONFIG_HOME="$workdir/config"
# Nothing of the caller's desktop: Pentrax would choose its backend from it.
unset WAYLAND_DISPLAY SWAYSOCK XDG_SESSION_TYPE

# The first monitor keeps the screen's own output; the others have none.
for i in "${!monitors[@]}"; do
  output=none
  [ "$i" = 0 ] && output=screen
  xrandr --setmonitor "M$i" "${monitors[i]}" "$output" >/dev/null
done

# True once the window manager has taken the dock off the work area (which
# spans all monitors).
workarea="= 0, 0, ${screen%x*}, $((${screen#*x} - 28))"
dock_in_place() {
  for _ in $(seq 60); do
    xprop -root _NET_WORKAREA 2>/dev/null | grep -q "$workarea" && return 0
    sleep 0.05
  done
  return 1
}

start_dock() {
  "$dock_program" --dock 28 "${dock_span[@]}" >/dev/null &
  dock_pid=$!
}

# The dock is mapped before the window manager starts, which adopts it with
# the other windows it finds: a window mapped while openbox is still starting
# up can lose its strut again.
[ -n "$dock_program" ] && start_dock

if [ "$wm" = kwin_x11 ]; then
  # KWin wants a session bus; a private one, which lets in only this user.
  exec {fd}>"$workdir/bus"
  dbus-daemon --session --nofork --address="unix:path=$workdir/bus-socket" \
    --print-address="$fd" >"$workdir/dbus.log" 2>&1 &
  pids+=($!)
  exec {fd}>&-
  for _ in $(seq 100); do
    [ -s "$workdir/bus" ] && break
    sleep 0.05
  done
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$workdir/bus")
  export DBUS_SESSION_BUS_ADDRESS
  HOME="$workdir" kwin_x11 --no-kactivities >"$workdir/kwin.log" 2>&1 &
else
  HOME="$workdir" openbox >"$workdir/openbox.log" 2>&1 &
fi
pids+=($!)
# For tests that take the window manager away while a program runs.
export PENTRAX_WM_PID=$!
# (KWin may take several seconds to start on a loaded machine.)
for _ in $(seq 600); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done

if [ -n "$dock_program" ]; then
  for attempt in 1 2 3; do
    if dock_in_place; then
      break
    fi
    kill "$dock_pid" 2>/dev/null || true
    wait "$dock_pid" 2>/dev/null || true
    if [ "$attempt" = 3 ]; then
      echo "the window manager did not take in the dock" >&2
      exit 1
    fi
    start_dock
  done
  pids+=("$dock_pid")

  # The window manager has taken in the monitors once a window maximised on
  # each one fills it from edge to edge (on a cold machine KWin announces
  # itself well before that).
  fills() { # WINDOW LEFT WIDTH
    local X WIDTH extents l r
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null | grep -E '^(X|WIDTH)=')"
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
    IFS=, read -r l r _ <<<"${extents:-0,0}"
    [ -n "${X:-}" ] && [ $((X - l)) -eq "$2" ] && [ $((WIDTH + l + r)) -eq "$3" ]
  }
  rects=("${monitors[@]}")
  [ ${#rects[@]} -gt 0 ] || rects=("${screen%x*}/0x${screen#*x}/0+0+0")
  for rect in "${rects[@]}"; do
    IFS='/x+' read -r width _ _ _ left top <<<"$rect"
    "$dock_program" --title pentrax-monitor-probe \
      --geometry "200x150+$((left + 40))+$((top + 40))" >"$workdir/probe" &
    probe_pid=$!
    ready=""
    for _ in $(seq 600); do
      probe=$(head -n1 "$workdir/probe" 2>/dev/null)
      if [ -n "$probe" ]; then
        wmctrl -i -r "$probe" -b add,maximized_vert,maximized_horz 2>/dev/null || true
        fills "$probe" "$left" "$width" && { ready=1; break; }
      fi
      sleep 0.05
    done
    kill "$probe_pid" 2>/dev/null || true
    wait "$probe_pid" 2>/dev/null || true
    [ -n "$ready" ] || { echo "the window manager did not take in the monitor $rect within 30 s" >&2; exit 1; }
  done
  # And the work area still leaves out the dock.
  dock_in_place || { echo "the dock's strut did not hold" >&2; exit 1; }
fi

status=0
"$@" || status=$?
exit "$status"
