#!/usr/bin/env bash
# pentrax2 size from the command line, from the start of the process to the
# window seen at its new size by the desktop's own reading, beside
# xdotool windowsize --sync and wmctrl -e on X11 (Xvfb with openbox) and
# swaymsg resize set on sway (headless), in the same run (bench/cli_bench).
#   scripts/bench-cli.sh [RUNS]   (runs of each, 30)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/bench-common.sh
. scripts/bench-common.sh
runs=${1:-30}
scripts/build-release.sh cli_bench pentrax2 pentrax_test_window pentrax_qt_window >/dev/null
out=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-bench-cli.XXXXXX")
trap 'rm -rf "$out"' EXIT
# Neither session's settings folder nor placements are the caller's.
bench_run "$out/x11.md" scripts/with-x-session.sh \
  --dock build/release/tests/pentrax_test_window \
  build/release/bench/cli_bench x11 "$PWD/build/release/app/pentrax2" \
  build/release/tests/pentrax_test_window "$runs"
bench_run "$out/sway.md" scripts/with-sway-session.sh \
  build/release/bench/cli_bench sway "$PWD/build/release/app/pentrax2" \
  build/release/tests/pentrax_qt_window "$runs"

bench_machine "Xvfb $(package_version xvfb), openbox $(package_version openbox), sway $(package_version sway); median of $runs runs each"
echo
echo "X11:"
echo
cat "$out/x11.md"
echo
echo "sway:"
echo
cat "$out/sway.md"
