#!/usr/bin/env bash
# Measures the running program on a private virtual desktop, with /proc:
# start-up time to the first shown window (best of 5), CPU used over a number
# of seconds while idle and while a button is pressed (one foreground query a
# tick), and peak and steady memory (VmHWM and VmRSS).
#   scripts/measure.sh [SECONDS [PENTRAX2]]
#     (default 60, and this build's build/release/app/pentrax2)
# Prints one "name | value | unit" line per figure. With --start-up, only
# the start-up of each build given, turn about in one session (before and
# after a change): the median and the best of RUNS starts each.
#   scripts/measure.sh --start-up RUNS [NAME=]PENTRAX2...
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-release.sh pentrax2 pentrax_test_window >/dev/null
BIN=$PWD/build/release
export BIN
if [ "${1:-}" = --start-up ]; then
  runs=$2
  shift 2
  # shellcheck source=scripts/bench-common.sh
  . scripts/bench-common.sh
  bench_builds "$@"
  exec scripts/with-x-session.sh --dock "$BIN/tests/pentrax_test_window" bash -c '
    set -euo pipefail
    runs=$1
    shift
    shown() { xwininfo -name "Pentrax 2" 2>/dev/null | grep -q IsViewable; }
    declare -A took
    for run in $(seq "$runs"); do
      for build in "$@"; do
        start=$(date +%s%N)
        "${build#*=}" 2>/dev/null &
        pid=$!
        until shown; do
          [ $(( ($(date +%s%N) - start) / 1000000 )) -lt 30000 ] ||
            { echo "${build#*=} showed no window within 30 s" >&2; exit 1; }
        done
        took[$build]+="$(( ($(date +%s%N) - start) / 100000 )) "
        kill "$pid"; wait "$pid" || true
        while xwininfo -name "Pentrax 2" >/dev/null 2>&1; do :; done
      done
    done
    echo "| start-up to first shown window | median | best |"
    echo "|---|---|---|"
    for build in "$@"; do
      tr " " "\n" <<<"${took[$build]}" | sort -n | awk -v name="${build%%=*}" "NF {
        t[++n] = \$1 } END { printf \"| %s | %.1f ms | %.1f ms |\\n\", name,
        t[int((n + 1) / 2)] / 10, t[1] / 10 }"
    done
  ' - "$runs" "${builds[@]}"
fi
export SECONDS_EACH=${1:-60}
PENTRAX2=$(realpath "${2:-$BIN/app/pentrax2}")
export PENTRAX2
scripts/with-x-session.sh --dock "$BIN/tests/pentrax_test_window" bash -c '
  set -euo pipefail
  # CPU time of all threads, in nanoseconds.
  cpu() { local t=0; for f in /proc/$1/task/*/schedstat; do t=$((t + $(cut -d" " -f1 "$f"))); done; echo $t; }
  shown() { xwininfo -name "Pentrax 2" 2>/dev/null | grep -q IsViewable; }

  best=
  for run in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$PENTRAX2" 2>/dev/null &
    pid=$!
    until shown; do
      [ $(( ${EPOCHREALTIME/./} / 1000 - start / 1000000 )) -lt 30000 ] ||
        { echo "pentrax2 showed no window within 30 s" >&2; exit 1; }
    done
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    [ -z "$best" ] || [ "$ms" -lt "$best" ] && best=$ms
    if [ "$run" -lt 5 ]; then kill "$pid"; wait "$pid" || true; fi
  done
  echo "start-up to first shown window (best of 5) | $best | ms"

  sleep 2
  a=$(cpu "$pid"); sleep "$SECONDS_EACH"; b=$(cpu "$pid")
  awk -v n=$((b - a)) -v s="$SECONDS_EACH" "BEGIN {
    printf \"CPU while idle, over %d s | %.1f ms (%.3f %% of one core) | \n\", s, n / 1e6, n / 1e7 / s }"

  # Press the sizing button and keep Pentrax in front: every tick queries
  # the foreground window.
  main=$(xwininfo -name "Pentrax 2" | awk "/Window id:/ {print \$4}")
  xdotool windowactivate --sync "$main" mousemove --window "$main" 176 288 click 1
  sleep 1
  a=$(cpu "$pid"); sleep "$SECONDS_EACH"; b=$(cpu "$pid")
  awk -v n=$((b - a)) -v s="$SECONDS_EACH" "BEGIN {
    printf \"CPU with the button pressed, over %d s | %.1f ms (%.3f %% of one core) | \n\", s, n / 1e6, n / 1e7 / s }"

  echo "steady RSS | $(awk "/^VmRSS/ {print \$2}" /proc/$pid/status) | kB"
  echo "peak RSS | $(awk "/^VmHWM/ {print \$2}" /proc/$pid/status) | kB"
  kill "$pid"; wait "$pid" || true
'
