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
#   newer    the Wayland suites and KWin on X11 again, on the newer desktops
#            of the test systems (scripts/test-systems.sh: Debian 13 and
#            Debian testing), in the optimised build (the CTest label
#            newer); needs root. The systems are made, when they are
#            missing or out of date, in the background from the start.
#   lint     clang-tidy and cppcheck (scripts/lint.sh)
#   fuzz     30 seconds a target (scripts/fuzz.sh)
#   wine     the Windows program under Wine (scripts/test-windows.sh; the
#            CTest label wine in build/win64)
#   package  the Debian package (scripts/test-package.sh)
#
# After the stages that run on desktops, the contract every backend keeps is
# printed as one table, desktop by case (scripts/contract-table.py).
set -euo pipefail
cd "$(dirname "$0")/.."

all_stages=(unit x11 wayland newer lint fuzz wine package)
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

# The test systems are made while the builds compile (making them is mostly
# waiting for downloads and the disk).
systems=""
if wanted newer; then
  if [ "$(id -u)" -eq 0 ]; then
    mkdir -p build
    scripts/test-systems.sh make >build/test-systems.log 2>&1 &
    systems=$!
  else
    echo "== The newer desktops are left out: making and entering the test systems needs root"
  fi
fi

# The contract's results of this run alone (scripts/contract-table.py).
if wanted x11 || wanted wayland || wanted newer; then
  rm -f build/release/contract/*.json build/asan/contract/*.json
fi
if wanted wine; then
  rm -f build/win64/contract/*.json
fi

# The CTest labels of the stages to run (all of them: no selection at all,
# so that a test nobody labelled still runs).
labels=()
for stage in unit x11 wayland; do
  wanted "$stage" && labels+=("$stage")
done
ctest_selection=(-LE '^newer$')
if [ ${#only[@]} -gt 0 ]; then
  ctest_selection=(-L "^($(IFS='|'; echo "${labels[*]}"))\$")
fi

jobs=$(nproc 2>/dev/null || echo 2)
build() {
  local dir=$1 type=$2
  shift 2
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}
# The desktop each suite ran on, as its session named it.
desktops_of() { # BUILD-DIR
  awk '/^[0-9]+\/[0-9]+ Test: / { test = $3 }
       / [0-9][0-9.]* \(Debian [^)]*\)$/ && test { print "  " test ": " $0; test = "" }' \
    "$1/Testing/Temporary/LastTest.log" 2>/dev/null || true
}
run_suite() {
  local dir=$1
  build "$@"
  # Every test belongs to a stage, so that --only leaves none out.
  local unlabelled
  unlabelled=$(ctest --test-dir "$dir" -N -LE '^(unit|x11|wayland|newer)$' | grep '^ *Test *#' || true)
  [ -z "$unlabelled" ] || { echo "tests with no stage label (tests/CMakeLists.txt):" >&2
                            echo "$unlabelled" >&2; exit 1; }
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" "${ctest_selection[@]}"
  desktops_of "$dir"
}
release=(build/release RelWithDebInfo -DPENTRAX_TESTS=ON -DPENTRAX_BENCHMARKS=ON)

if [ ${#labels[@]} -gt 0 ]; then
  echo "== Release build (${labels[*]})"
  run_suite "${release[@]}"
  echo "== Sanitizer build, ASan + UBSan (${labels[*]})"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_suite build/asan Debug -DPENTRAX_TESTS=ON -DPENTRAX_SANITIZE=ON -DPENTRAX_BENCHMARKS=OFF
fi
if [ -n "$systems" ]; then
  echo "== Newer desktops, in the test systems (scripts/test-systems.sh)"
  build "${release[@]}"
  if ! wait "$systems"; then
    tail -n 30 build/test-systems.log >&2
    echo "$0: the test systems could not be made (build/test-systems.log)" >&2
    exit 1
  fi
  cat build/test-systems.log
  ctest --test-dir build/release --output-on-failure -j "$jobs" -L '^newer$'
  desktops_of build/release
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
if wanted x11 || wanted wayland || wanted newer || wanted wine; then
  echo "== The contract every backend keeps (tests/platform/contract_test.cpp)"
  scripts/contract-table.py build/release/contract build/win64/contract
fi
if wanted package; then
  echo "== The Debian package (CPack), checked with Debian's tools"
  scripts/test-package.sh
fi
