#!/usr/bin/env bash
# Builds Pentrax and runs every test, twice: an optimised build, and a build
# under AddressSanitizer and UndefinedBehaviorSanitizer; then the static
# checks, a short fuzzing run, the Windows parts, cross-built and tested
# under Wine (the installer too), and the Debian package, built and checked.
# Installs the Debian packages it needs when they are missing. The tests
# that need a desktop start their own virtual X server and window manager:
# no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh test

jobs=$(nproc 2>/dev/null || echo 2)
run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== Release build"
run_suite build/release RelWithDebInfo -DPENTRAX_TESTS=ON -DPENTRAX_BENCHMARKS=ON
echo "== Sanitizer build (ASan + UBSan)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build/asan Debug -DPENTRAX_TESTS=ON -DPENTRAX_SANITIZE=ON -DPENTRAX_BENCHMARKS=OFF
echo "== Static checks (clang-tidy, cppcheck)"
scripts/lint.sh
echo "== Fuzzing (libFuzzer, 30 s a target)"
scripts/fuzz.sh 30
echo "== Windows parts (cross-built with mingw-w64, run under Wine)"
scripts/test-windows.sh
echo "== The Debian package (CPack), checked with Debian's tools"
scripts/test-package.sh
