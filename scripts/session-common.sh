# shellcheck shell=bash
# Sourced by the session scripts (with-x-session.sh, with-kwin-session.sh,
# with-gnome-session.sh): a private working folder, the processes started in
# it, and their end when the script ends, whatever the way.
#
#   session_start NAME   sets workdir (a new 0700 folder) and pids
#   pids+=($!)           after starting a process that must end with it
#   until_ok COMMAND...  waits (at most 10 s) until COMMAND succeeds

session_start() {
  workdir=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-$1.XXXXXX")
  pids=()
  trap session_end EXIT
  trap 'exit 130' INT TERM
}

# The newest first, all of them told at once, then each one waited for.
session_end() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
  done
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$workdir"
}

until_ok() {
  for _ in $(seq 200); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  return 1
}
