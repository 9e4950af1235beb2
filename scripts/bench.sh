#!/usr/bin/env bash
# Runs every benchmark and prints one table (markdown): the sizing logic
# (Google Benchmark), the size and restore actions against a real window
# manager beside xdotool and wmctrl, a soak of 1,000 size-and-restore cycles
# (failures and memory growth), and the running program (scripts/
# measure.sh). Median and spread (standard deviation) of repeated runs.
#   scripts/bench.sh [SECONDS]   (SECONDS for the idle and pressed CPU, 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/build-release.sh core_bench size_action_bench soak_bench pentrax2 \
  pentrax_test_window >/dev/null
out=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-bench.XXXXXX")
trap 'rm -rf "$out"' EXIT

build/release/bench/core_bench --benchmark_repetitions=10 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv \
  >"$out/core.csv" 2>/dev/null
scripts/with-x-session.sh --dock build/release/tests/pentrax_test_window \
  build/release/bench/size_action_bench --benchmark_format=csv \
  >"$out/x.csv" 2>/dev/null
# The size action again on a desktop with two monitors, the dock on the
# first: the work area then takes the struts of the windows into account.
scripts/with-x-session.sh --screen 2560x1024 --monitor 1280/338x1024/270+0+0 \
  --monitor 1280/338x1024/270+1280+0 \
  --dock build/release/tests/pentrax_test_window --dock-span 0 1280 \
  build/release/bench/size_action_bench --benchmark_format=csv \
  --benchmark_filter='^size_action/xclock' 2>/dev/null |
  sed 's/^"size_action\//"size_action_two_monitors\//' | tail -n +2 >>"$out/x.csv"
scripts/with-x-session.sh --dock build/release/tests/pentrax_test_window \
  build/release/bench/soak_bench build/release/tests/pentrax_test_window \
  >"$out/soak.txt" 2>/dev/null || echo "soak: failed" >>"$out/soak.txt"
scripts/measure.sh "$seconds" >"$out/program.txt"

echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores," \
  "$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo) memory;" \
  "$(uname -sr); Xvfb $(dpkg-query -W -f='${Version}' xvfb 2>/dev/null), openbox $(dpkg-query -W -f='${Version}' openbox 2>/dev/null)."
echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo
echo "| benchmark | median | spread (sd) | X round trips | wait for the WM |"
echo "|---|---|---|---|---|"
# CSV columns: name, iterations, real_time, cpu_time, time_unit, ..., then
# the counters (round_trips, wm_wait_ms) where a benchmark has them.
awk -F, '
  FNR == 1 { delete col; for (i = 1; i <= NF; i++) { h = $i; gsub(/"/, "", h); col[h] = i }; next }
  {
    name = $1; gsub(/"/, "", name)
    kind = name; sub(/.*_/, "", kind)
    base = name; sub(/_(mean|median|stddev|cv)$/, "", base)
    sub(/\/iterations:[0-9]+/, "", base); sub(/\/repeats:[0-9]+/, "", base)
    sub(/\/manual_time/, "", base)
    if (base ~ /xclock|xterm|qt/) { sub(/\/[0-9]+\/[0-9]+$/, "", base); sub(/\/[0-9]+$/, "", base) }
    if (kind == "median") { med[base] = $col["real_time"]; unit[base] = $col["time_unit"]
      rt[base] = ("round_trips" in col) ? $col["round_trips"] : ""
      wt[base] = ("wm_wait_ms" in col) ? $col["wm_wait_ms"] : ""
      order[++n] = base }
    if (kind == "stddev") sd[base] = $col["real_time"]
  }
  END {
    for (i = 1; i <= n; i++) { b = order[i]
      printf "| %s | %.3g %s | %.2g %s | %s | %s |\n", b, med[b], unit[b], sd[b], unit[b],
        rt[b] == "" ? "" : sprintf("%.1f", rt[b]), wt[b] == "" ? "" : sprintf("%.3f ms", wt[b]) }
    for (w in med) if (w ~ /^size_action\//) { t = w; sub(/^size_action\//, "", t)
      x = "xdotool_windowsize_sync/" t
      if (x in med) ratio[t] = med[x] / med[w] }
    for (t in ratio) printf "\nxdotool windowsize --sync on %s takes %.1f times as long as the size action.\n", t, ratio[t]
  }' "$out/core.csv" "$out/x.csv"
echo
echo "| running program | value | unit |"
echo "|---|---|---|"
sed 's/^/| /; s/$/ |/' "$out/program.txt"
echo; cat "$out/soak.txt"
echo; echo "Sizing on sway:"; scripts/bench-sway.sh
echo; echo "Sizing on GNOME:"; scripts/bench-gnome.sh
