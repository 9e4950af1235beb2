# shellcheck shell=bash
# Sourced by the benchmark scripts (bench.sh, bench-sway.sh, bench-kwin.sh,
# bench-gnome.sh, bench-cli.sh, measure.sh): the machine a run was made on,
# the run itself, the builds compared, and one markdown table from Google
# Benchmark's CSV.
#
#   package_version PACKAGE   the installed Debian package's version
#   bench_machine FACTS       "Machine: ...; FACTS." and the date
#   bench_run OUT COMMAND...  runs COMMAND, its output in OUT; when it fails,
#                             the end of its errors and exit 1
#   bench_table [--counter NAME TITLE FORMAT]... [--ratio OF TO SENTENCE]
#               CSV...        one row a benchmark: the median and spread
#                             (standard deviation) of its repetitions, then
#                             each counter asked for (printf FORMAT); with
#                             --ratio, a line for each window that OF/WINDOW
#                             and TO/WINDOW were both run on: SENTENCE with
#                             the window and OF's median over TO's
#   bench_builds [NAME=]PATH...
#               the builds to compare, as NAME=ABSOLUTE-PATH in the array
#               builds (NAME is the path when not given)

package_version() {
  dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo "(not installed)"
}

bench_builds() {
  local build name path
  builds=()
  for build in "$@"; do
    name=${build%%=*} path=${build#*=}
    [ "$name" != "$build" ] || name=$path
    builds+=("$name=$(realpath "$path")")
  done
}

bench_machine() {
  echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -n1), $(nproc) cores," \
    "$(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo) memory," \
    "load average $(cut -d' ' -f1-3 /proc/loadavg); $(uname -sr); $1."
  echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
}

bench_run() {
  local file=$1 status=0
  shift
  "$@" >"$file" 2>"$file.errors" || status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 30 "$file.errors" >&2
    echo "${0##*/}: $1 failed (exit status $status)" >&2
    exit 1
  fi
}

bench_table() {
  local titles="" rule="" formats="" names="" ratio=""
  while [ $# -gt 0 ]; do
    case $1 in
      --counter) names+="$2;" titles+=" $3 |" rule+="---|" formats+="$4;"; shift 4 ;;
      --ratio) ratio="$2;$3;$4"; shift 4 ;;
      *) break ;;
    esac
  done
  echo "| benchmark | median | spread (sd) |$titles"
  echo "|---|---|---|$rule"
  # CSV columns: name, iterations, real_time, cpu_time, time_unit, ..., then
  # the counters where a benchmark has them. A name is the benchmark's, less
  # what Google Benchmark adds (the aggregate, iterations, repeats, manual
  # time) and less the numbers after a window's name (which window of the
  # run it was): size_action/xclock/0/0 is size_action/xclock, BM_Ledger/10
  # stays itself.
  awk -F, -v names="$names" -v formats="$formats" -v ratio="$ratio" '
    BEGIN { nc = split(names, cname, ";") - 1; split(formats, cformat, ";")
            split(ratio, r, ";") }
    FNR == 1 { delete col; for (i = 1; i <= NF; i++) { h = $i; gsub(/"/, "", h); col[h] = i }; next }
    {
      name = $1; gsub(/"/, "", name)
      kind = name; sub(/.*_/, "", kind)
      base = name; sub(/_(mean|median|stddev|cv)$/, "", base)
      gsub(/\/(iterations|repeats):[0-9]+|\/manual_time/, "", base)
      if (base ~ /^[^\/]+\/[^\/0-9][^\/]*\//) sub(/(\/[0-9]+)+$/, "", base)
      if (kind == "median") {
        med[base] = $col["real_time"]; unit[base] = $col["time_unit"]; order[++n] = base
        for (c = 1; c <= nc; c++) {
          v = (cname[c] in col) ? $col[cname[c]] : ""
          value[base, c] = v == "" ? "" : sprintf(cformat[c], v)
        }
      }
      if (kind == "stddev") sd[base] = $col["real_time"]
    }
    END {
      for (i = 1; i <= n; i++) { b = order[i]
        printf "| %s | %.3g %s | %.2g %s |", b, med[b], unit[b], sd[b], unit[b]
        for (c = 1; c <= nc; c++) printf " %s |", value[b, c]
        printf "\n" }
      if (ratio == "") exit
      for (i = 1; i <= n; i++) { b = order[i]
        if (index(b, r[1] "/") != 1) continue
        w = substr(b, length(r[1]) + 2)
        if ((r[2] "/" w) in med) printf "\n" r[3] "\n", w, med[b] / med[r[2] "/" w] }
    }' "$@"
}
