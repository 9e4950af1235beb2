#!/usr/bin/env bash
# Builds Pentrax and runs every test, twice: an optimised build, and a build
# under AddressSanitizer and UndefinedBehaviorSanitizer; then the static
# checks, a short fuzzing run, the Windows parts, cross-built and tested
# under Wine (the installer too), and the Debian package, built and checked.
# Installs the Debian packages it needs when they are missing. The tests
# that need a desktop start their own virtual X server and window manager:
# no display is needed.
#
#   scripts/test.sh                      everything, in that order
#   scripts/test.sh --only STAGE[,STAGE] those stages alone (the option may
#                                        be given more than once)
#
# The stages:
#   unit     the tests that need no desktop           } CTest labels, run in
#   x11      on Xvfb, with openbox or KWin on X11     } the optimised and the
#   wayland  in headless sway, KWin and GNOME Shell   } sanitizer build
#   lint     clang-tidy and cppcheck (scripts/lint.sh)
#   fuzz     30 seconds a target (scripts/fuzz.sh)
#   wine     the Windows program under Wine (scripts/test-windows.sh; the
#            CTest label wine in build/win64)
#   package  the Debian package (scripts/test-package.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

all_stages=(unit x11 wayland lint fuzz wine package)
usage() {
  echo "usage: $0 [--only STAGE[,STAGE]...]   (stages: ${all_stages[*]})"
}
only=()
while [ $# -gt 0 ]; do
  case $1 in
    --only) [ $# -ge 2 ] || { usage >&2; exit 2; }
            IFS=, read -ra named <<<"$2"; only+=("${named[@]}"); shift 2 ;;
    --only=*) IFS=, read -ra named <<<"${1#--only=}"; only+=("${named[@]}"); shift ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
done
for stage in "${only[@]}"; do
  [[ " ${all_stages[*]} " == *" $stage "* ]] ||
    { echo "$0: no stage $stage" >&2; usage >&2; exit 2; }
done
# True when STAGE is to run: every stage, unless --only named some.
wanted() {
  [ ${#only[@]} -eq 0 ] || [[ " ${only[*]} " == *" $1 "* ]]
}

scripts/deps.sh test

# The CTest labels of the stages to run (all of them: no selection at all,
# so that a test nobody labelled still runs).
labels=()
for stage in unit x11 wayland; do
  wanted "$stage" && labels+=("$stage")
done
ctest_selection=()
if [ ${#only[@]} -gt 0 ]; then
  ctest_selection=(-L "^($(IFS='|'; echo "${labels[*]}"))\$")
fi

jobs=$(nproc 2>/dev/null || echo 2)
run_suite() {
  local dir=$1 type=$2
  shift 2
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  # Every test belongs to a stage, so that --only leaves none out.
  local unlabelled
  unlabelled=$(ctest --test-dir "$dir" -N -LE '^(unit|x11|wayland)$' | grep '^ *Test *#' || true)
  [ -z "$unlabelled" ] || { echo "tests with no stage label (tests/CMakeLists.txt):" >&2
                            echo "$unlabelled" >&2; exit 1; }
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" "${ctest_selection[@]}"
}

if [ ${#labels[@]} -gt 0 ]; then
  echo "== Release build (${labels[*]})"
  run_suite build/release RelWithDebInfo -DPENTRAX_TESTS=ON -DPENTRAX_BENCHMARKS=ON
  echo "== Sanitizer build, ASan + UBSan (${labels[*]})"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite build/asan Debug -DPENTRAX_TESTS=ON -DPENTRAX_SANITIZE=ON -DPENTRAX_BENCHMARKS=OFF
fi
if wanted lint; then
  echo "== Static checks (clang-tidy, cppcheck)"
  scripts/lint.sh
fi
if wanted fuzz; then
  echo "== Fuzzing (libFuzzer, 30 s a target)"
  scripts/fuzz.sh 30
fi
if wanted wine; then
  echo "== Windows parts (cross-built with mingw-w64, run under Wine)"
  scripts/test-windows.sh
fi
if wanted package; then
  echo "== The Debian package (CPack), checked with Debian's tools"
  scripts/test-package.sh
fi
