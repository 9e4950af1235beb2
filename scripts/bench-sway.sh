#!/usr/bin/env bash
# The size action on sway beside swaymsg making the same requests with the
# same settle check (bench/sway), in a private headless sway session, against
# a Qt window and foot. Prints a markdown table.
#   scripts/bench-sway.sh [RUNS]   (runs of each, 60)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-release.sh sway_size_bench pentrax_qt_window >/dev/null
echo "sway $(dpkg-query -W -f='${Version}' sway 2>/dev/null)," \
  "foot $(dpkg-query -W -f='${Version}' foot 2>/dev/null)," \
  "Qt $(dpkg-query -W -f='${Version}' qt6-wayland 2>/dev/null); median of ${1:-60} runs each."
echo
scripts/with-sway-session.sh build/release/bench/sway/sway_size_bench \
  build/release/tests/pentrax_qt_window "${1:-60}" 2>/dev/null
