#!/usr/bin/env bash
# Runs a command on a private virtual desktop: Xvfb (1280 x 1024), a window
# manager (openbox; KWin on X11 with a session bus of its own; metacity or
# fluxbox, for the cases where window managers differ) and a dock
# that takes 28 pixels off the bottom of the screen. Everything started here
# is stopped again when the command ends.
#
#   scripts/with-x-session.sh [--wm openbox|kwin_x11|metacity|fluxbox]
#                             [--system NAME] [--screen WxH]
#                             [--monitor GEOMETRY]...
#                             [--dock PROGRAM [--dock-span X WIDTH]]
#                             [--] COMMAND [ARGS...]
#
# --monitor lays RandR monitors over the screen (xrandr --setmonitor, e.g.
# 1280/338x1024/270+0+0); PROGRAM is the test helper that draws the dock
# (pentrax_test_window); --dock-span puts it along that part of the bottom
# edge only. --system runs KWin from a test system (scripts/test-systems.sh)
# instead of this machine's.
set -euo pipefail

wm=openbox
system=""
screen=1280x1024
monitors=()
dock_program=""
dock_span=()
while [ $# -gt 0 ]; do
  case $1 in
    --wm) wm=$2; shift 2 ;;
    --system) system=$2; shift 2 ;;
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
  openbox | kwin_x11 | metacity | fluxbox) ;;
  *) echo "$0: unknown window manager $wm" >&2; exit 2 ;;
esac
screen_width=${screen%x*}
screen_height=${screen#*x}

# shellcheck source=scripts/session-common.sh
. "$(dirname "$0")/session-common.sh"
session_start x
start_wm=session_spawn
if [ -n "$system" ]; then
  [ "$wm" = kwin_x11 ] || { echo "$0: --system takes --wm kwin_x11" >&2; exit 2; }
  system_start "$system"
  start_wm=system_spawn
fi
case $wm in
  openbox) desktop_named openbox openbox ;;
  kwin_x11) desktop_named "KWin on X11" kwin-x11 ;;
  metacity | fluxbox) desktop_named "$wm" "$wm" ;;
esac

# -displayfd picks a free display number, so parallel runs never collide.
exec {fd}>"$workdir/display"
session_spawn xvfb Xvfb -displayfd "$fd" -screen 0 "${screen}x24" -nolisten tcp -noreset
exec {fd}>&-
wait_for 30 "Xvfb to name its display" test -s "$workdir/display"
DISPLAY=":$(head -n1 "$workdir/display")"
export DISPLAY
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

# The work area spans all monitors.
dock_off() { dock_in_place "$screen_width" "$screen_height"; }
dock_what="$wm to take the 28-pixel dock off the work area of the $screen screen"

# The dock is mapped before the window manager starts, which adopts it with
# the other windows it finds: a window mapped while openbox is still starting
# up can lose its strut again.
[ -n "$dock_program" ] && session_spawn dock "$dock_program" --dock 28 "${dock_span[@]}"

if [ "$wm" = kwin_x11 ]; then
  # KWin wants a session bus; a private one, which lets in only this user.
  session_bus
  $start_wm kwin env HOME="$workdir" kwin_x11 --no-kactivities
elif [ "$wm" = metacity ]; then
  # Its settings from memory, none of the caller's.
  session_bus
  session_spawn metacity env HOME="$workdir" GSETTINGS_BACKEND=memory metacity --replace
elif [ "$wm" = fluxbox ]; then
  session_spawn fluxbox env HOME="$workdir" fluxbox
else
  session_spawn openbox env HOME="$workdir" openbox
fi
# For tests that take the window manager away while a program runs.
PENTRAX_WM_PID=$(session_pid "$spawned")
export PENTRAX_WM_PID
# (KWin takes many seconds to start on a cold, loaded machine.)
wait_for 90 "$wm to announce itself (_NET_SUPPORTING_WM_CHECK on the root window)" \
  sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"

if [ -n "$dock_program" ]; then
  # A dock that lost its strut is started again, twice at most; the last
  # one has the whole deadline.
  for _ in 1 2; do
    wait_for --or-return 5 "$dock_what" dock_off && break
    session_stop dock
    session_spawn dock "$dock_program" --dock 28 "${dock_span[@]}"
  done
  wait_for 10 "$dock_what" dock_off

  # The window manager has taken in the monitors once a window maximised on
  # each one fills it from edge to edge (on a cold machine KWin announces
  # itself well before that).
  probe_fills() { # LEFT WIDTH
    local probe X WIDTH extents l r
    probe=$(grep -m1 '^0x' "$workdir/probe.log") || return 1
    wmctrl -i -r "$probe" -b add,maximized_vert,maximized_horz || true
    eval "$(xdotool getwindowgeometry --shell "$probe" | grep -E '^(X|WIDTH)=')"
    extents=$(xprop -id "$probe" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
    IFS=, read -r l r _ <<<"${extents:-0,0}"
    [ -n "${X:-}" ] && [ $((X - l)) -eq "$1" ] && [ $((WIDTH + l + r)) -eq "$2" ]
  }
  rects=("${monitors[@]}")
  [ ${#rects[@]} -gt 0 ] || rects=("$screen_width/0x$screen_height/0+0+0")
  for rect in "${rects[@]}"; do
    IFS='/x+' read -r width _ _ _ left top <<<"$rect"
    session_spawn probe "$dock_program" --title pentrax-monitor-probe \
      --geometry "200x150+$((left + 40))+$((top + 40))"
    wait_for 30 "a window maximised on the monitor $rect to fill it" \
      probe_fills "$left" "$width"
    session_stop probe
  done
  # And the work area still leaves out the dock.
  wait_for 10 "$dock_what (still, after the monitor probes)" dock_off
fi

session_run "$@"
