#!/usr/bin/env bash
# The size action on KWin: median and spread of 60 runs against a Qt window
# on Wayland and one on XWayland, and the foreground query of each tick, on
# a private kwin_wayland session (scripts/with-kwin-session.sh). Prints one
# markdown table, with the machine named.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/bench-common.sh
. scripts/bench-common.sh
scripts/build-release.sh kwin_size_action_bench pentrax_qt_window \
  pentrax_test_window >/dev/null
out=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-bench-kwin.XXXXXX")
trap 'rm -rf "$out"' EXIT
bench_run "$out/kwin.csv" scripts/with-kwin-session.sh \
  --dock build/release/tests/pentrax_test_window \
  build/release/bench/kwin/kwin_size_action_bench --benchmark_format=csv

bench_machine "kwin-wayland $(package_version kwin-wayland)"
echo
bench_table "$out/kwin.csv"
