# shellcheck shell=bash
# Sourced by the session scripts (with-x-session.sh, with-sway-session.sh,
# with-kwin-session.sh, with-gnome-session.sh): a private working folder, the
# processes started in it, the waits for them, and their end when the script
# ends, whatever the way.
#
#   session_start NAME            sets workdir (a new 0700 folder)
#   session_spawn NAME COMMAND... starts COMMAND in the background, its output
#                                 in $workdir/NAME.log, to end with the session
#                                 ($! is its process id)
#   session_adopt NAME PID        a process started otherwise, to end with it
#   session_stop NAME             ends that process now
#   wait_for [--or-return] SECONDS WHAT COMMAND...
#                                 runs COMMAND (quietly) until it succeeds;
#                                 fails the session, saying it waited for WHAT,
#                                 once SECONDS have passed (--or-return: returns
#                                 1 then instead) or as soon as one of the
#                                 session's processes has ended
#   session_bus                   starts a private session bus (which lets in
#                                 only this user), in DBUS_SESSION_BUS_ADDRESS
#   session_fail MESSAGE          the end of each log, MESSAGE, and exit 1
#   dock_in_place WIDTH HEIGHT    true once the dock is off the work area
#   session_run COMMAND...        runs the command and exits with its status
#
# The deadlines are for a cold machine under load (compositors that start for
# the first time, two cores shared with a build): they cost nothing when the
# session comes up sooner. PENTRAX_SESSION_TIMES=1 prints how long each wait
# took, on standard error.

session_start() {
  workdir=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-$1.XXXXXX")
  # The script's own standard error, for messages from commands whose output
  # is put away (those that wait_for runs); no other process holds it.
  exec {session_stderr}>&2
  pids=()
  names=()
  trap session_end EXIT
  trap 'exit 130' INT TERM
}

session_adopt() {
  names+=("$1")
  pids+=("$2")
}

session_spawn() {
  local name=$1
  shift
  "$@" >"$workdir/$name.log" 2>&1 {session_stderr}>&- &
  session_adopt "$name" "$!"
}

# Tells a process to end and waits for it: 10 s, then it is killed.
end_process() { # NAME PID
  local i
  kill "$2" 2>/dev/null || return 0
  for ((i = 0; i < 500; i++)); do
    kill -0 "$2" 2>/dev/null || break
    sleep 0.02
  done
  if kill -0 "$2" 2>/dev/null; then
    echo "${0##*/}: $1 (process $2) did not end within 10 s of SIGTERM: killed" >&"$session_stderr"
    kill -KILL "$2" 2>/dev/null || true
  fi
  wait "$2" 2>/dev/null || true
}

session_stop() {
  local i
  for i in "${!names[@]}"; do
    if [ "${names[i]}" = "$1" ]; then
      end_process "${names[i]}" "${pids[i]}"
      unset 'names[i]' 'pids[i]'
    fi
  done
  names=("${names[@]}")
  pids=("${pids[@]}")
}

# The newest first, each one gone before the next is told: KWin that loses
# its X server or its bus while it shuts down crashes, starts itself again a
# second later, and takes over whatever X server has the display's number by
# then (another session's).
session_end() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    end_process "${names[i]}" "${pids[i]}"
  done
  rm -rf "$workdir"
}

session_fail() {
  local log
  {
    for log in "$workdir"/*.log; do
      [ -s "$log" ] || continue
      echo "--- the end of ${log##*/}:"
      tail -n 40 "$log"
    done
    echo "${0##*/}: $1"
  } >&"$session_stderr"
  exit 1
}

# Microseconds since the epoch (whatever the locale's decimal point).
now_us() {
  echo "${EPOCHREALTIME//[!0-9]/}"
}

wait_for() {
  local or_return="" seconds what start i
  [ "$1" = --or-return ] && { or_return=1; shift; }
  seconds=$1 what=$2
  shift 2
  start=$(now_us)
  until "$@" >/dev/null 2>&1; do
    for i in "${!pids[@]}"; do
      kill -0 "${pids[i]}" 2>/dev/null ||
        session_fail "${names[i]} (process ${pids[i]}) ended while waiting for $what"
    done
    if [ $(($(now_us) - start)) -ge $((seconds * 1000000)) ]; then
      [ -n "$or_return" ] && return 1
      session_fail "gave up after $seconds s waiting for $what"
    fi
    sleep 0.05
  done
  if [ "${PENTRAX_SESSION_TIMES:-}" = 1 ]; then
    printf '%s: %d ms waiting for %s\n' "${0##*/}" $((($(now_us) - start) / 1000)) \
      "$what" >&"$session_stderr"
  fi
}

session_bus() {
  local fd
  exec {fd}>"$workdir/bus"
  session_spawn dbus dbus-daemon --session --nofork \
    --address="unix:path=$workdir/bus-socket" --print-address="$fd"
  exec {fd}>&-
  wait_for 30 "the session bus (dbus-daemon) to give its address" test -s "$workdir/bus"
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$workdir/bus")
  export DBUS_SESSION_BUS_ADDRESS
}

# True once the window manager has taken a 28-pixel dock off the bottom of
# the WIDTH x HEIGHT screen.
dock_in_place() { # WIDTH HEIGHT
  [[ "$(xprop -root _NET_WORKAREA)" == *"= 0, 0, $1, $(($2 - 28))"* ]]
}

session_run() {
  local status=0
  "$@" {session_stderr}>&- || status=$?
  exit "$status"
}
