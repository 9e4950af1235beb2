# shellcheck shell=bash
# Helpers of the tests that drive a Windows program under Wine from outside,
# sourced by them. They run on the desktop of scripts/with-x-session.sh
# with the wineserver and prefix of scripts/test-windows.sh. Every wait is
# for something the test can see, with a deadline.
#
# Set PROBE (the probe program) before sourcing.

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
failures=0
pids=()
snapshot=""  # the last look at the main window's controls
TITLE="Pentrax 2"

finish() {
  local pid
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
}
trap finish EXIT

# Runs a Windows program from /, so that no program of the current folder
# stands in for a system one (wine looks there first), without CRs.
win() { (cd / && wine "$@" 2>/dev/null) | tr -d '\r'; }
probe() { win "$PROBE" "$@"; }
reg() { win 'C:\windows\system32\reg.exe' "$@"; }

# Starts a Windows program in the background, its output and errors in
# OUTPUT if it is set.
start() {
  (cd / && exec wine "$@" >"${OUTPUT:-/dev/null}" 2>&1) &
  pids+=($!)
}

check() {  # check WHAT COMMAND...
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
    return 1
  fi
}

same() {  # same WHAT ACTUAL EXPECTED
  check "$1" test "$2" = "$3" || printf '  read:     %s\n  expected: %s\n' "$2" "$3"
}

# Looks at the main window's controls, first waiting (probe's deadline)
# until control NAME's "CHECK ENABLED TEXT" begins with STATE when they are
# given.
look() {
  snapshot=$(probe controls "$TITLE" "$@") || {
    echo "$snapshot"
    return 1
  }
}

# "CHECK ENABLED TEXT" of a control in the last look: CHECK is - for a
# control without one.
state() { awk -v n="$1" '$1 == n' <<<"$snapshot" | cut -d' ' -f4-; }

# The X11 window of a Windows window, waited for.
x_window() { timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -1; }

activate() { xdotool windowactivate --sync "$(x_window "$1")"; }

# "WIDTH HEIGHT" of a window's client area, as the X server has it.
client_size() {
  xwininfo -id "$(x_window "$1")" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }'
}

# Whether a window of that title is shown, waited for.
shown() { probe window "$1" >/dev/null; }

# Clicks a control of the main window at the centre the last look reported
# (screen coordinates of Wine's windows are X root coordinates).
click() {
  local cx cy
  read -r _ cx cy _ <<<"$(awk -v n="$1" '$1 == n' <<<"$snapshot")"
  activate "$TITLE"
  xdotool mousemove "$cx" "$cy" click 1
}

# Presses a push-style button and waits until it shows pressed, before the
# user goes on to another window.
press() {
  click "$1"
  look "$1" "1 "
}

# Runs a command until it succeeds, for at most 20 s.
eventually() {
  local i
  for ((i = 0; i < 200; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Waits until a process has ended, at most 20 s.
gone() {
  local i
  for ((i = 0; i < 200; i++)); do
    kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null; return 0; }
    sleep 0.1
  done
  return 1
}

# Closes the main window as a user would (Alt+F4: openbox sends WM_CLOSE)
# and waits until the program, the given process, has ended.
close_main() {
  activate "$TITLE"
  xdotool key alt+F4
  gone "$1"
}

report() {
  echo "$failures failure(s)"
  [ "$failures" -eq 0 ]
}
