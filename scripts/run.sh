#!/usr/bin/env bash
# Builds Pentrax (installing the Debian packages it needs when missing) and
# starts it on your X display, with the arguments given (see pentrax2 --help).
# On a machine without a display, and with no arguments, it shows Pentrax at
# work on a private virtual desktop instead (scripts/demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ $# -eq 0 ]; then
  echo "No X display: showing Pentrax on a private virtual desktop instead."
  exec scripts/demo.sh
fi
scripts/deps.sh build
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPENTRAX_TESTS=OFF -DPENTRAX_BENCHMARKS=OFF >/dev/null
cmake --build build/run -j "$(nproc 2>/dev/null || echo 2)" --target pentrax2
exec build/run/app/pentrax2 "$@"
