#!/usr/bin/env bash
# Builds Pentrax's packages, installing the Debian packages needed when they
# are missing:
#   deb      the Debian package, by CPack:
#            build/package/pentrax2_VERSION-1_amd64.deb
#   windows  the Windows installer, by NSIS (makensis), from the statically
#            linked Pentrax2.exe: build/win64/app/Pentrax2-setup.exe
#   scripts/package.sh [deb|windows]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
case "${1:-}" in
  "" | deb | windows) ;;
  *) echo "usage: $0 [deb|windows]" >&2; exit 2 ;;
esac

if [ "${1:-deb}" = deb ]; then
  scripts/deps.sh package
  # The GNOME Shell extension in the form for the GNOME Shell of this
  # Debian release (43 in Debian 12), whether it is installed here or not.
  shell=$(apt-cache policy gnome-shell 2>/dev/null | awk '/Candidate:/ { print $2 }')
  form=auto
  if [[ $shell == [0-9]* ]]; then
    form=module
    if dpkg --compare-versions "$shell" lt 45; then form=legacy; fi
  fi
  # Debian's hardening flags, all of them.
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  cmake -S . -B build/package -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
      -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
      -DCMAKE_INSTALL_PREFIX=/usr -DPENTRAX_TESTS=OFF -DPENTRAX_BENCHMARKS=OFF \
      -DPENTRAX_DEBIAN_PACKAGE=ON -DPENTRAX_GNOME_SHELL_FORM="$form" >/dev/null
  cmake --build build/package -j "$jobs"
  (cd build/package && cpack -G DEB >/dev/null)
  ls build/package/pentrax2_*.deb
fi

if [ "${1:-windows}" = windows ]; then
  scripts/deps.sh windows
  cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DPENTRAX_BENCHMARKS=OFF >/dev/null
  cmake --build build/win64 -j "$jobs" --target Pentrax2_setup
  ls build/win64/app/Pentrax2-setup.exe
fi
