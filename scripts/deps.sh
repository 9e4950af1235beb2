#!/usr/bin/env bash
# Installs the Debian packages Pentrax needs to build, run and test, when any
# of them is missing. Usage: scripts/deps.sh [build|test]
set -euo pipefail

build_pkgs=(cmake g++ make pkg-config qt6-base-dev libgl-dev
            libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev fonts-liberation2)
test_pkgs=(libgtest-dev libbenchmark-dev xvfb openbox xdotool x11-utils
           x11-apps xterm xclip)

want=("${build_pkgs[@]}")
if [ "${1:-build}" = test ]; then
  want+=("${test_pkgs[@]}")
fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
