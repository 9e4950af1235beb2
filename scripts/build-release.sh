#!/usr/bin/env bash
# Builds the optimised tree (build/release) with its tests and benchmarks,
# installing the Debian packages they need when missing.
#   scripts/build-release.sh [TARGET...]   (default: everything)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPENTRAX_TESTS=ON \
  -DPENTRAX_BENCHMARKS=ON >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build/release -j "$(nproc 2>/dev/null || echo 2)" "${targets[@]}"
