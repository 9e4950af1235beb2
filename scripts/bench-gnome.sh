#!/usr/bin/env bash
# The size action on GNOME, from the request to the report that follows the
# confirmed new frame, in a private GNOME Shell with Pentrax's extension
# (scripts/with-gnome-session.sh), on a native Wayland window and an Xwayland
# window: median and spread (standard deviation) of 30 runs, split into the
# placement request and the reads around it; beside it, one read alone and
# a placement the window already has. Prints one markdown table.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-release.sh gnome_size_bench pentrax_qt_window pentrax_gnome_extension >/dev/null
# The extension's form for the shell found here (as `cmake --install` picks).
major=$(gnome-shell --version | grep -o '[0-9]\+' | head -n1)
form=module
[ "$major" -lt 45 ] && form=legacy
out=$(mktemp "${TMPDIR:-/tmp}/pentrax-bench-gnome.XXXXXX")
trap 'rm -f "$out"' EXIT

scripts/with-gnome-session.sh \
  --extension "build/release/data/gnome-shell/$form/pentrax@pentrax.dev" \
  build/release/bench/gnome/gnome_size_bench --benchmark_format=csv \
  >"$out" 2>/dev/null

echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores;" \
  "$(uname -sr); $(gnome-shell --version), Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null)," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)."
echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo
echo "| benchmark | median | spread (sd) | reads before | placement request | reads after |"
echo "|---|---|---|---|---|---|"
# CSV columns: name, iterations, real_time, cpu_time, time_unit, ..., then
# the counters (before_ms, place_ms, after_ms) where a benchmark has them.
awk -F, '
  FNR == 1 { for (i = 1; i <= NF; i++) { h = $i; gsub(/"/, "", h); col[h] = i }; next }
  {
    name = $1; gsub(/"/, "", name)
    kind = name; sub(/.*_/, "", kind)
    base = name; sub(/\/[0-9]+\/iterations:.*/, "", base)
    if (kind == "median") { med[base] = $col["real_time"]; unit[base] = $col["time_unit"]
      pre[base] = ("before_ms" in col) ? $col["before_ms"] : ""
      place[base] = ("place_ms" in col) ? $col["place_ms"] : ""
      post[base] = ("after_ms" in col) ? $col["after_ms"] : ""
      order[++n] = base }
    if (kind == "stddev") sd[base] = $col["real_time"]
  }
  function ms(v) { return v == "" ? "" : sprintf("%.3g ms", v) }
  END {
    for (i = 1; i <= n; i++) { b = order[i]
      printf "| %s | %.3g %s | %.2g %s | %s | %s | %s |\n", b, med[b], unit[b], sd[b], unit[b],
        ms(pre[b]), ms(place[b]), ms(post[b]) }
  }' "$out"
