#!/usr/bin/env bash
# Measures the running program on a private virtual desktop: start-up time to
# the first shown window, CPU used while idle (Timer1 polling) over a number
# of seconds, and peak memory (maximum resident set size, /usr/bin/time -v).
#   scripts/measure.sh [IDLE_SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-release.sh pentrax2 pentrax_test_window
export IDLE_SECONDS=${1:-60} BIN=$PWD/build/release
scripts/with-x-session.sh --dock "$BIN/tests/pentrax_test_window" bash -c '
  set -euo pipefail
  log=$(mktemp)
  start=$(date +%s%N)
  /usr/bin/time -v -o "$log" "$BIN/app/pentrax2" 2>/dev/null &
  timer_pid=$!
  timeout 30 xdotool search --sync --onlyvisible --name "^Pentrax 2$" >/dev/null
  shown=$(date +%s%N)
  echo "start-up to first shown window: $(( (shown - start) / 1000000 )) ms"
  pid=$(pgrep -P "$timer_pid" -x pentrax2)
  ticks() { awk "{print \$14 + \$15}" "/proc/$pid/stat"; }
  sleep 1
  before=$(ticks)
  sleep "$IDLE_SECONDS"
  after=$(ticks)
  hz=$(getconf CLK_TCK)
  awk -v t=$((after - before)) -v hz="$hz" -v s="$IDLE_SECONDS" \
    "BEGIN { printf \"idle CPU over %d s: %.2f s of CPU, %.3f%% of one core\n\", s, t / hz, 100 * t / hz / s }"
  kill "$pid"
  wait "$timer_pid" 2>/dev/null || true
  sed -n "s/^\tMaximum resident set size (kbytes): /peak RSS (kB): /p" "$log"
  rm -f "$log"
'
