#!/usr/bin/env bash
# Cross-builds the Windows programs (Pentrax2.exe, its console program
# Pentrax2.com) and their tests with mingw-w64 (statically linked) and runs
# them under Wine on a private virtual desktop, in a Wine prefix of their
# own: the sizing core, the Win32 backend (sizing and restoring its own
# windows), Pentrax2.exe and the commands driven as a user would (a probe
# program, xdotool, reg.exe, cmd), and the installer's round trip (install,
# start, uninstall). Options are handed to ctest (-R NAME: those tests
# alone).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh windows
scripts/build-release.sh pentrax_test_window
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DPENTRAX_BENCHMARKS=OFF >/dev/null
cmake --build build/win64 -j "$(nproc 2>/dev/null || echo 2)"

# Each program (the window, Pentrax2.exe; the console program beside it,
# Pentrax2.com) is one file that needs nothing but Windows: it imports
# system DLLs only, and stays within 1 MB.
for exe in build/win64/app/Pentrax2.exe build/win64/app/Pentrax2.com; do
  others=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print toupper($3) }' |
    grep -Evx '(ADVAPI32|COMCTL32|GDI32|IMM32|KERNEL32|MSVCRT|USER32)\.DLL' || true)
  [ -z "$others" ] || { echo "$exe imports $others" >&2; exit 1; }
  size=$(stat -c %s "$exe")
  [ "$size" -le 1048576 ] || { echo "$exe has $size bytes" >&2; exit 1; }
  echo "${exe##*/}: $size bytes, system DLLs only"
done

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'rm -rf "$WINEPREFIX"' EXIT
# Two monitors side by side, the dock along the bottom of both. Wine reads
# monitors from RandR outputs, of which Xvfb has one; the two RandR monitors
# reach it through Xinerama, once it is told not to use RandR. Each
# monitor's work area comes from _GTK_WORKAREAS_D0, as on GNOME: the first
# less the dock; the second also less a task bar 30 pixels high at its top
# and one 50 pixels wide at its left, where workspace and screen coordinates
# differ.
scripts/with-x-session.sh --screen 2560x1024 \
  --monitor 1280/338x1024/270+0+0 --monitor 1280/338x1024/270+1280+0 \
  --dock build/release/tests/pentrax_test_window bash -c '
  xprop -root -f _GTK_WORKAREAS_D0 32c -set _GTK_WORKAREAS_D0 \
    0,0,1280,996,1330,30,1230,966
  # One server for all the tests, started before the prefix is made, and
  # again once it reads the monitors through Xinerama; the services Wine
  # starts with it are started here too, by a program whose output goes
  # nowhere, or they would hold the output of the first test open.
  wineserver -p
  wineboot -i >/dev/null 2>&1
  (cd / && wine reg add "HKCU\Software\Wine\X11 Driver" /v UseXRandR /d N /f \
    && wineserver -k && wineserver -p && wineboot) >/dev/null 2>&1
  # The results of the contract, named after the version of Wine, where
  # scripts/contract-table.py reads them.
  version=$(wine --version)
  version=${version#wine-}
  mkdir -p build/win64/contract
  export PENTRAX_DESKTOP="Win32 under Wine ${version%% *}"
  PENTRAX_CONTRACT_RESULTS=$(winepath -w "$PWD/build/win64/contract")
  export PENTRAX_CONTRACT_RESULTS
  status=0
  ctest --test-dir build/win64 --output-on-failure "$@" || status=$?
  wineserver -k 2>/dev/null || true
  exit "$status"
' - "$@"
