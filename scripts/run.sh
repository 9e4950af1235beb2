#!/usr/bin/env bash
# Builds Pentrax (installing the Debian packages it needs when missing) and
# starts it on your X display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPENTRAX_TESTS=OFF -DPENTRAX_BENCHMARKS=OFF >/dev/null
cmake --build build/release -j "$(nproc 2>/dev/null || echo 2)"
if [ ! -x build/release/app/pentrax2 ]; then
  echo "Built the sizing core and the X11 backend; the main window (pentrax2)"
  echo "is not part of this version yet. scripts/test.sh exercises what is here."
  exit 1
fi
exec build/release/app/pentrax2 "$@"
