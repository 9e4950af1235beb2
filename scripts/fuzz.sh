#!/usr/bin/env bash
# Fuzzes with libFuzzer (clang, under ASan + UBSan): reading numbers, window
# titles through the actions, loading any settings file, reading command
# lines and the session's placements file, and reading what the desktops
# answer (sway's layout tree, the KWin agent's answers, the GNOME extension's
# replies).
#   scripts/fuzz.sh [SECONDS_EACH]   (default 30; the test command's run)
# Longer runs: scripts/fuzz.sh 3600. A crash leaves its input in
# build/fuzz/artifacts/; add it to tests/fuzz/corpus/ and a test for it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
scripts/deps.sh test
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPENTRAX_FUZZ=ON -DPENTRAX_SANITIZE=ON -DPENTRAX_TESTS=OFF \
  -DPENTRAX_BENCHMARKS=OFF >/dev/null
cmake --build build/fuzz -j "$(nproc 2>/dev/null || echo 2)" \
  --target fuzz_numbers fuzz_title fuzz_settings fuzz_command_line \
  fuzz_placements fuzz_sway_tree \
  fuzz_kwin_answer fuzz_gnome_reply
mkdir -p build/fuzz/artifacts
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
for target in numbers title settings command_line placements sway_tree \
  kwin_answer gnome_reply; do
  corpus=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-corpus.XXXXXX")
  cp tests/fuzz/corpus/"$target"/* "$corpus"/
  echo "fuzz_$target: ${seconds} s"
  status=0
  build/fuzz/tests/fuzz/fuzz_"$target" -max_total_time="$seconds" \
    -artifact_prefix=build/fuzz/artifacts/"$target"- -print_final_stats=1 \
    "$corpus" >build/fuzz/"$target".log 2>&1 || status=$?
  grep -E '^stat::number_of_executed_units|^stat::peak_rss' build/fuzz/"$target".log || true
  grep -Eo 'exec/s: [0-9]+' build/fuzz/"$target".log | tail -n1 || true
  rm -rf "$corpus"
  if [ "$status" -ne 0 ]; then
    tail -n 40 build/fuzz/"$target".log
    echo "fuzz_$target found a fault" >&2
    exit 1
  fi
done
echo "fuzz: no faults found"
