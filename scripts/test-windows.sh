#!/usr/bin/env bash
# Cross-builds the Windows program, Pentrax2.exe, and its tests with
# mingw-w64 (statically linked) and runs them under Wine on a private
# virtual desktop, in a Wine prefix of their own: the sizing core, the Win32
# backend, Pentrax2.exe driven as a user would (a probe program, xdotool,
# reg.exe) and the sizing journey through the Win32 view and model.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh windows
scripts/build-release.sh pentrax_test_window
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DPENTRAX_BENCHMARKS=OFF >/dev/null
cmake --build build/win64 -j "$(nproc 2>/dev/null || echo 2)"

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'rm -rf "$WINEPREFIX"' EXIT
scripts/with-x-session.sh --dock build/release/tests/pentrax_test_window bash -c '
  # One server for all the tests, started before the prefix is made.
  wineserver -p
  wineboot -i >/dev/null 2>&1
  status=0
  ctest --test-dir build/win64 --output-on-failure || status=$?
  wineserver -k 2>/dev/null || true
  exit "$status"
'
