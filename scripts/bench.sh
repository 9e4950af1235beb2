#!/usr/bin/env bash
# Runs every benchmark and prints one table (markdown): the sizing logic
# (Google Benchmark), the size and restore actions against a real window
# manager beside xdotool and wmctrl, a soak of 1,000 size-and-restore cycles
# (failures and memory growth), and the running program (scripts/
# measure.sh). Median and spread (standard deviation) of repeated runs. Then
# the size action on each Wayland desktop: sway, KWin and GNOME
# (scripts/bench-sway.sh, bench-kwin.sh, bench-gnome.sh), and pentrax2 size
# from the command line on X11, sway, KWin and GNOME (scripts/bench-cli.sh);
# a desktop that cannot be measured here is named with the reason, the
# others still run, and the script then fails.
#   scripts/bench.sh [SECONDS]   (SECONDS for the idle and pressed CPU, 60)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/bench-common.sh
. scripts/bench-common.sh
seconds=${1:-60}
scripts/build-release.sh core_bench size_action_bench soak_bench pentrax2 \
  pentrax_test_window >/dev/null
out=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-bench.XXXXXX")
trap 'rm -rf "$out"' EXIT
dock=(--dock build/release/tests/pentrax_test_window)

bench_run "$out/core.csv" build/release/bench/core_bench --benchmark_repetitions=10 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv
bench_run "$out/x.csv" scripts/with-x-session.sh "${dock[@]}" \
  build/release/bench/size_action_bench --benchmark_format=csv
# The size action again on a desktop with two monitors, the dock on the
# first: the work area then takes the struts of the windows into account.
bench_run "$out/two.csv" scripts/with-x-session.sh --screen 2560x1024 \
  --monitor 1280/338x1024/270+0+0 --monitor 1280/338x1024/270+1280+0 \
  "${dock[@]}" --dock-span 0 1280 \
  build/release/bench/size_action_bench --benchmark_format=csv \
  --benchmark_filter='^size_action/xclock'
sed -i 's/^"size_action\//"size_action_two_monitors\//' "$out/two.csv"
scripts/with-x-session.sh "${dock[@]}" \
  build/release/bench/soak_bench build/release/tests/pentrax_test_window \
  >"$out/soak.txt" 2>/dev/null || echo "soak: failed" >>"$out/soak.txt"
scripts/measure.sh "$seconds" >"$out/program.txt"

bench_machine "Xvfb $(package_version xvfb), openbox $(package_version openbox)"
echo
bench_table --counter round_trips "X round trips" "%.1f" \
  --counter wm_wait_ms "wait for the WM" "%.3f ms" \
  --ratio xdotool_windowsize_sync size_action \
  "xdotool windowsize --sync on %s takes %.1f times as long as the size action." \
  "$out/core.csv" "$out/x.csv" "$out/two.csv"
echo
echo "| running program | value | unit |"
echo "|---|---|---|"
sed 's/^/| /; s/$/ |/' "$out/program.txt"
echo; cat "$out/soak.txt"

# Each desktop's own script says why it could not run (on standard error).
missing=()
for desktop in sway:sway KWin:kwin GNOME:gnome "the command line:cli"; do
  echo; echo "Sizing on ${desktop%:*}:"
  scripts/bench-"${desktop#*:}".sh || {
    echo "(not measured: scripts/bench-${desktop#*:}.sh failed, see its errors)"
    missing+=("${desktop%:*}")
  }
done
[ ${#missing[@]} -eq 0 ] || { echo "not measured: ${missing[*]}" >&2; exit 1; }
