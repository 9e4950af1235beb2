#!/usr/bin/env bash
# Measures one size action against a real window manager: builds the
# optimised tree, starts a private desktop with a window in front, and runs
# the benchmark (median milliseconds and X round trips per action).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-release.sh size_action_bench pentrax_test_window
helper=build/release/tests/pentrax_test_window
scripts/with-x-session.sh --dock "$helper" bash -c '
  set -euo pipefail
  coproc WIN { exec "$1" --class bench --geometry 400x300+100+100; }
  trap "kill $WIN_PID 2>/dev/null || true" EXIT
  read -r id <&"${WIN[0]}"
  sleep 0.5
  xdotool windowactivate "$id"
  sleep 0.3
  build/release/bench/size_action_bench "${@:2}"
' bench "$helper" "$@"
