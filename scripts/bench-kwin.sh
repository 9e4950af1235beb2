#!/usr/bin/env bash
# The size action on KWin: median and spread of 60 runs against a Qt window
# on Wayland and one on XWayland, and the foreground query of each tick, on
# a private kwin_wayland session (scripts/with-kwin-session.sh). Prints one
# markdown table, with the machine named.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-release.sh kwin_size_action_bench pentrax_qt_window \
  pentrax_test_window >/dev/null
out=$(mktemp "${TMPDIR:-/tmp}/pentrax-bench-kwin.XXXXXX")
trap 'rm -f "$out"' EXIT
scripts/with-kwin-session.sh --dock build/release/tests/pentrax_test_window \
  build/release/bench/kwin/kwin_size_action_bench --benchmark_format=csv \
  >"$out" 2>/dev/null

echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores," \
  "load average $(cut -d' ' -f1 /proc/loadavg); $(uname -sr);" \
  "kwin-wayland $(dpkg-query -W -f='${Version}' kwin-wayland 2>/dev/null)."
echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo
echo "| benchmark | median | spread (sd) |"
echo "|---|---|---|"
# CSV columns: name, iterations, real_time, cpu_time, time_unit, ...
awk -F, '
  FNR == 1 { next }
  {
    name = $1; gsub(/"/, "", name)
    kind = name; sub(/.*_/, "", kind)
    base = name; sub(/_(mean|median|stddev|cv)$/, "", base)
    sub(/\/iterations:[0-9]+/, "", base); sub(/\/repeats:[0-9]+/, "", base)
    if (kind == "median") { med[base] = $3; unit[base] = $5; order[++n] = base }
    if (kind == "stddev") sd[base] = $3
  }
  END {
    for (i = 1; i <= n; i++) { b = order[i]
      printf "| %s | %.3g %s | %.2g %s |\n", b, med[b], unit[b], sd[b], unit[b] }
  }' "$out"
