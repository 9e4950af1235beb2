#!/usr/bin/env bash
# The size action on sway beside swaymsg making the same requests with the
# same settle check (bench/sway), in a private headless sway session, against
# a Qt window and foot. Prints a markdown table.
#   scripts/bench-sway.sh [RUNS]   (runs of each, 60)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/bench-common.sh
. scripts/bench-common.sh
runs=${1:-60}
scripts/build-release.sh sway_size_bench pentrax_qt_window >/dev/null
out=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-bench-sway.XXXXXX")
trap 'rm -rf "$out"' EXIT
bench_run "$out/sway.md" scripts/with-sway-session.sh \
  build/release/bench/sway/sway_size_bench build/release/tests/pentrax_qt_window "$runs"

bench_machine "sway $(package_version sway), foot $(package_version foot), Qt $(package_version qt6-wayland); median of $runs runs each"
echo
cat "$out/sway.md"
