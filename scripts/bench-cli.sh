#!/usr/bin/env bash
# pentrax2 size from the command line, from the start of the process until
# the window has its new size, and pentrax2 --version (its start alone),
# --help and list (where the rest of the time goes), of one or more builds
# in the same run (before and after a change), beside
# wmctrl -e and xdotool windowsize --sync on X11 (Xvfb with openbox) and
# swaymsg resize set on sway (headless), and on KWin and GNOME Shell
# (headless, GNOME with Pentrax's extension answering each build given);
# then the libraries each build's commands load (bench/cli_bench).
#   scripts/bench-cli.sh [RUNS] [[NAME=]PENTRAX2...]
#     (runs of each, 30; the program, build/release/app/pentrax2)
# A desktop that cannot be measured here is named, with why, and the others
# still run; the script then fails.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/bench-common.sh
. scripts/bench-common.sh
runs=30
if [[ ${1:-} =~ ^[0-9]+$ ]]; then runs=$1; shift; fi
bench_builds "${@:-this build=build/release/app/pentrax2}"
scripts/build-release.sh cli_bench pentrax2 pentrax_test_window \
  pentrax_qt_window >/dev/null
out=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-bench-cli.XXXXXX")
trap 'rm -rf "$out"' EXIT
bench=build/release/bench/cli_bench
window=build/release/tests/pentrax_test_window
qt=build/release/tests/pentrax_qt_window

# Pentrax's GNOME extension, answering the builds measured.
printf '%s\n' "${builds[@]#*=}" >"$out/callers"
for form in legacy module; do
  cmake -DFORM=$form -DSOURCE_DIR=data/gnome-shell/pentrax@pentrax.dev \
    -DOUTPUT_DIR="$out/extension/$form/pentrax@pentrax.dev" \
    -DCALLERS_FILE="$out/callers" -P data/gnome-shell/generate.cmake
done

missing=()
measure() {  # measure DESKTOP SESSION...: the session runs the bench
  local desktop=$1 program=$qt
  shift
  [ "$desktop" != x11 ] || program=$window
  if ! (bench_run "$out/$desktop.md" "$@" "$PWD/$bench" "$desktop" \
    "$PWD/$program" "$runs" "${builds[@]}"); then
    missing+=("$desktop")
  fi
}
# Neither session's settings folder nor placements are the caller's.
measure x11 scripts/with-x-session.sh --dock "$window"
measure sway scripts/with-sway-session.sh
measure kwin scripts/with-kwin-session.sh
measure gnome scripts/with-gnome-session.sh --extension "$out/extension"

bench_machine "Xvfb $(package_version xvfb), openbox $(package_version openbox), sway $(package_version sway), kwin-wayland $(package_version kwin-wayland), $(gnome-shell --version 2>/dev/null || echo 'no GNOME Shell'); median of $runs runs each"
for build in "${builds[@]}"; do echo "${build%%=*}: ${build#*=}"; done
for desktop in x11 sway kwin gnome; do
  echo
  echo "$desktop:"
  echo
  cat "$out/$desktop.md" 2>/dev/null || echo "(not measured)"
done
[ ${#missing[@]} -eq 0 ] || { echo "not measured: ${missing[*]}" >&2; exit 1; }
