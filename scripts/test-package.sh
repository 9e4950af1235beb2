#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh deb) and checks it with
# Debian's own tools: the files `cmake --install` and the package put in
# place (pentrax2 loading its parts from there), the desktop entry and the
# AppStream metadata validated, the dependencies that dpkg-shlibdeps
# computed, one version everywhere, and lintian with neither errors nor
# warnings.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/package.sh deb
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)
deb=build/package/pentrax2_${version}-1_$(dpkg --print-architecture).deb
tmp=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-package.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
failures=0
check() {  # check WHAT COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

id=dev.pentrax.Pentrax2
parts=lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/pentrax2
{
  echo bin/pentrax2
  echo "$parts/libpentrax2-dbus.so"
  echo "$parts/libpentrax2-window.so"
  echo share/applications/$id.desktop
  echo share/doc/pentrax2/changelog.Debian.gz
  echo share/doc/pentrax2/copyright
  echo share/gnome-shell/extensions/pentrax@pentrax.dev/extension.js
  echo share/gnome-shell/extensions/pentrax@pentrax.dev/metadata.json
  for size in 128 16 256 32 48 64; do
    echo "share/icons/hicolor/${size}x$size/apps/$id.png"
  done
  echo share/icons/hicolor/scalable/apps/$id.svg
  echo share/lintian/overrides/pentrax2
  echo share/man/man1/pentrax2.1.gz
  echo share/metainfo/$id.metainfo.xml
} | sort >"$tmp/expected"
DESTDIR=$tmp/install cmake --install build/package >/dev/null
(cd "$tmp/install/usr" && find . -type f -printf '%P\n' | sort) >"$tmp/installed"
check "cmake --install puts every file in place" diff -u "$tmp/expected" "$tmp/installed"

echo "== $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb -I "$deb"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub("^./usr/", "", $6); print $6 }' | sort >"$tmp/packaged"
check "the package holds the same files" diff -u "$tmp/expected" "$tmp/packaged"
depends=$(dpkg-deb -f "$deb" Depends)
check "it depends on the fonts of the layout, and on the libraries dpkg-shlibdeps found" \
  grep -Eq '(^|, )fonts-liberation2(,|$).*libqt6widgets6 ' <<<"$depends"
dpkg-deb -x "$deb" "$tmp/tree"
changelog=$(zcat "$tmp/tree/usr/share/doc/pentrax2/changelog.Debian.gz" | head -1)
release=$(grep -o '<release version="[^"]*"' "$tmp/tree/usr/share/metainfo/$id.metainfo.xml" | head -1)
check "one version: the package's, the changelog's and the metadata's last release" \
  test "$(dpkg-deb -f "$deb" Version)|$changelog|$release" = \
  "$version-1|pentrax2 ($version-1) unstable; urgency=medium|<release version=\"$version\""
# The extension: the form of this Debian release's GNOME Shell, answering
# the installed pentrax2 only.
ext=$tmp/tree/usr/share/gnome-shell/extensions/pentrax@pentrax.dev
shell=$(apt-cache policy gnome-shell 2>/dev/null | awk '/Candidate:/ { print $2 }')
if [[ $shell == [0-9]* ]]; then
  check "the GNOME Shell extension is for this release's GNOME Shell ($shell)" \
    grep -q "\"${shell%%.*}\"" "$ext/metadata.json"
fi
check "the GNOME Shell extension answers /usr/bin/pentrax2 only" \
  grep -Fxq 'const PENTRAX_CALLERS = [ "/usr/bin/pentrax2" ];' "$ext/extension.js"
check "the program and its parts find every library they need" \
  eval "! ldd '$tmp/tree/usr/bin/pentrax2' '$tmp/tree/usr/$parts'/*.so | grep 'not found'"
# Installed, pentrax2 finds its parts: the window's says there is no
# display, the D-Bus part's that it cannot reach KWin.
said=$({ env -u DISPLAY "$tmp/tree/usr/bin/pentrax2"
  env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS "$tmp/tree/usr/bin/pentrax2" --backend kwin list; } 2>&1 || :)
check "pentrax2 loads its parts from where they are installed" \
  grep -Pzq '^pentrax2: no X display: .*\npentrax2: backend kwin: .*\n$' <<<"$said"
check "desktop-file-validate" desktop-file-validate "$tmp/tree/usr/share/applications/$id.desktop"
check "appstreamcli validate" appstreamcli validate --no-net --pedantic \
  "$tmp/tree/usr/share/metainfo/$id.metainfo.xml"
check "appstreamcli validate-tree" appstreamcli validate-tree --no-net "$tmp/tree"
echo "lintian:"
check "lintian: no errors, no warnings" lintian --fail-on error,warning "$deb"
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
