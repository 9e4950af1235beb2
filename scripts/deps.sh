#!/usr/bin/env bash
# Installs the Debian packages Pentrax needs to build, run and test, when any
# of them is missing. Usage: scripts/deps.sh [build|test|windows|package]
set -euo pipefail

build_pkgs=(cmake g++ make pkg-config qt6-base-dev libgl-dev
            libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev
            libxcb-randr0-dev libxcb-xinput-dev fonts-liberation2
            nlohmann-json3-dev)
test_pkgs=(libgtest-dev libbenchmark-dev xvfb openbox xdotool x11-utils
           x11-apps x11-xserver-utils xterm xclip wmctrl time procps
           clang libclang-rt-14-dev clang-tidy cppcheck
           sway foot xwayland qt6-wayland metacity fluxbox)
# GNOME on Wayland: a headless GNOME Shell for the GNOME backend's tests (with
# the Xwayland and Qt Wayland packages above), and gjs to load the module form
# of its extension.
test_pkgs+=(gnome-shell gjs)
# KDE Plasma on Wayland: a headless KWin with a window decoration for the KWin
# backend's tests, and the session bus they start for it; KWin on X11 for the
# X11 backend's tests.
test_pkgs+=(kwin-wayland kwin-style-breeze dbus-daemon dbus-bin kwin-x11)
# The accessibility bus and a screen reader's view of it, for the names the
# main window's controls have.
test_pkgs+=(at-spi2-core python3-pyatspi)
# The Debian systems of the newer desktops (scripts/test-systems.sh).
test_pkgs+=(mmdebstrap)

# The Windows parts, cross-built and run under Wine, and their installer.
windows_pkgs=(g++-mingw-w64-x86-64-posix wine wine64 googletest nsis)
# The Debian package (dpkg-shlibdeps, dpkg-buildflags) and its checks.
package_pkgs=(dpkg-dev desktop-file-utils appstream lintian)

want=("${build_pkgs[@]}")
case "${1:-build}" in
  test) want+=("${test_pkgs[@]}" "${windows_pkgs[@]}" "${package_pkgs[@]}") ;;
  windows) want+=("${test_pkgs[@]}" "${windows_pkgs[@]}") ;;
  package) want+=("${package_pkgs[@]}") ;;
esac

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
