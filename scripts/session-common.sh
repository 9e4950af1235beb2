# shellcheck shell=bash
# Sourced by the session scripts (with-x-session.sh, with-sway-session.sh,
# with-kwin-session.sh, with-gnome-session.sh): a private working folder, the
# processes started in it, the waits for them, and their end when the script
# ends, whatever the way.
#
#   session_start NAME            sets workdir (a new 0700 folder)
#   session_spawn NAME COMMAND... starts COMMAND in the background, its output
#                                 in $workdir/NAME.log, to end with the session
#                                 ($spawned is its process id)
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
#   desktop_named WHAT PACKAGE    prints "WHAT VERSION (Debian N)": the desktop
#                                 the command runs on, from its package (and
#                                 exports it as PENTRAX_DESKTOP)
#
# In a test system (scripts/test-systems.sh; every session script takes
# --system NAME):
#   system_start NAME             starts the system's namespaces (below)
#   system_spawn NAME COMMAND...  session_spawn, COMMAND among the system's
#                                 own files (its compositor)
#   session_pid PID               the number the command knows PID by
#
# The deadlines are for a cold machine under load (compositors that start for
# the first time, two cores shared with a build): they cost nothing when the
# session comes up sooner. PENTRAX_SESSION_TIMES=1 prints how long each wait
# took, on standard error.

session_start() {
  workdir=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-$1.XXXXXX")
  system_enter=()
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

# Runs a command without the descriptors that only this script may hold.
detached() {
  exec {session_stderr}>&-
  [ -z "${system_keep:-}" ] || exec {system_keep}>&-
  exec "$@"
}

session_spawn() {
  local name=$1
  shift
  if [ ${#system_enter[@]} -gt 0 ]; then
    system_launch "$name" "$@"
    return
  fi
  ( detached "$@" ) >"$workdir/$name.log" 2>&1 &
  spawned=$!
  session_adopt "$name" "$spawned"
}

# Whether a process runs: not gone, and not a zombie (the first process of a
# test system's namespace reaps none until it ends).
running() { # PID
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  [[ "$stat" != *") Z "* ]]
}
# Tells a process to end and waits for it: 10 s, then it is killed. A test
# system's first process takes no SIGTERM: it is killed, and every process
# of its namespace with it.
end_process() { # NAME PID
  local i signal=TERM
  [[ "$1" == "system "* ]] && signal=KILL
  kill -s "$signal" "$2" 2>/dev/null || return 0
  for ((i = 0; i < 500; i++)); do
    running "$2" || break
    sleep 0.02
  done
  if running "$2"; then
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
      running "${pids[i]}" ||
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
  ( detached "${system_enter[@]}" "$@" ) || status=$?
  exit "$status"
}

# The version of a package of the system the desktop comes from, without
# Debian's epoch and revision.
package_version() { # PACKAGE
  local version
  version=$(dpkg-query --admindir="${system_root:-}/var/lib/dpkg" -W -f='${Version}' "$1" \
    2>/dev/null) || version=unknown
  version=${version#*:}
  echo "${version%%[-+~]*}"
}

desktop_named() { # WHAT PACKAGE
  # shellcheck disable=SC1091
  PENTRAX_DESKTOP="$1 $(package_version "$2") ($(. "${system_root:-}/etc/os-release"
                                                 echo "Debian ${VERSION_ID:-testing}"))"
  export PENTRAX_DESKTOP
  echo "$PENTRAX_DESKTOP"
}

# A test system runs in a mount and a process namespace of its own: its root
# with a new /proc, the machine's /dev and /sys, an empty /tmp and /run, and
# at their own paths the session's folder (for the sockets, the settings and
# the files both sides read) and this clone, read-only (the programs built
# here). Every process of the session runs in that process namespace, so
# that the compositor, the buses and the clients know each other by the same
# numbers, as on a real desktop; the host's programs (the tests, the buses)
# keep the host's files, with a /proc of the namespace. The namespace's first process waits for the end of
# a pipe that only this script holds: when the script ends, however it ends,
# that process ends, and with it every process and mount of the namespace.
system_start() { # NAME
  local name=$1 here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  [ "$(id -u)" -eq 0 ] ||
    session_fail "a test system needs root (its mounts and chroot)"
  system_root=$("$here/test-systems.sh" root "$name") ||
    session_fail "no test system $name"
  exec {system_keep}> >(exec {session_stderr}>&-; exec unshare --mount --pid --fork --kill-child \
      --propagation private -- bash -c '
    set -e
    root=$1 work=$2 clone=$3
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount --rbind /sys "$root/sys"
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
    mount -t tmpfs -o mode=755 tmpfs "$root/run"
    mkdir -p "$root$work" "$root$clone"
    mount --bind "$work" "$root$work"
    mount --bind "$clone" "$root$clone"
    mount -o remount,bind,ro "$root$clone"
    mkdir -m 1777 "$root/tmp/.X11-unix"
    : >"$work/system-up"
    exec chroot "$root" sh -c "read _"
  ' - "$system_root" "$workdir" "$(dirname "$here")" >"$workdir/system.log" 2>&1)
  local unshare=$!
  wait_for 10 "the test system $name to mount" test -e "$workdir/system-up"
  wait_for 10 "the test system $name to start" child_of "$unshare"
  system_pid=$spawned
  session_adopt "system $name" "$system_pid"
  # The host's programs get a /proc of the namespace (in a mount namespace
  # of their own), so that the numbers the compositor gives are theirs too.
  host_enter=(nsenter -t "$system_pid" -p -- unshare --mount --propagation private
              -- sh -c 'mount -t proc proc /proc && exec "$@"' -)
  system_enter=("${host_enter[@]}")
}

system_spawn() { # NAME COMMAND...
  local name=$1
  shift
  system_enter=(nsenter -t "$system_pid" -p -m -r -w --)
  system_launch "$name" "$@"
  system_enter=("${host_enter[@]}")
}

# nsenter starts a command in the namespace as a child of its own, which it
# stops whenever the child stops (as the tests stop compositors) and which
# reaps it: the command is started in the background there instead, so that
# the namespace's first process adopts it, and that process is the one to
# watch and end.
system_launch() { # NAME COMMAND...
  local name=$1 inside
  shift
  rm -f "$workdir/launched"
  ( detached "${system_enter[@]}" sh -c '"$@" & echo $! >"$0"' \
      "$workdir/launched" "$@" ) >"$workdir/$name.log" 2>&1 ||
    session_fail "could not start $name in the test system"
  inside=$(cat "$workdir/launched")
  for spawned in $(pgrep -P "$system_pid"); do
    [ "$(session_pid "$spawned")" = "$inside" ] && break
  done
  [ "$(session_pid "$spawned")" = "$inside" ] ||
    session_fail "$name (process $inside in the test system) is gone at once"
  session_adopt "$name" "$spawned"
}

child_of() { # PID: sets spawned to its child
  spawned=$(pgrep -P "$1") && [ -n "$spawned" ]
}

# NSpid in /proc/PID/status: its number in each namespace, the innermost last.
session_pid() { # PID
  if [ -n "${system_pid:-}" ]; then
    awk '$1 == "NSpid:" { print $NF }' "/proc/$1/status"
  else
    echo "$1"
  fi
}
