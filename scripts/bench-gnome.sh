#!/usr/bin/env bash
# The size action on GNOME, from the request to the report that follows the
# confirmed new frame, in a private GNOME Shell with Pentrax's extension
# (scripts/with-gnome-session.sh), on a native Wayland window and an Xwayland
# window: median and spread (standard deviation) of 30 runs, split into the
# placement request and the reads around it; beside it, one read alone and
# a placement the window already has. Prints one markdown table.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/bench-common.sh
. scripts/bench-common.sh
scripts/build-release.sh gnome_size_bench pentrax_qt_window pentrax_gnome_extension >/dev/null
out=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-bench-gnome.XXXXXX")
trap 'rm -rf "$out"' EXIT
bench_run "$out/gnome.csv" scripts/with-gnome-session.sh \
  --extension build/release/data/gnome-shell \
  build/release/bench/gnome/gnome_size_bench --benchmark_format=csv

bench_machine "$(gnome-shell --version), Qt $(package_version libqt6core6)"
echo
bench_table --counter before_ms "reads before" "%.3g ms" \
  --counter place_ms "placement request" "%.3g ms" \
  --counter after_ms "reads after" "%.3g ms" "$out/gnome.csv"
