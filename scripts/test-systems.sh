#!/usr/bin/env bash
# The Debian systems in which the tests start the newer Wayland desktops:
# Debian 13 (GNOME 48, KWin 6.3, sway 1.10) and Debian testing (GNOME 50,
# KWin 6.7, sway 1.12), each made with mmdebstrap (minbase and the desktops'
# packages) from the Debian archive that this machine's apt sources name.
# They are kept outside the clone (PENTRAX_TEST_SYSTEMS, by default
# /var/cache/pentrax2/test-systems) and made again only when their package
# list changes. Making one needs root.
#
#   scripts/test-systems.sh make [NAME...]  makes the systems (all by default)
#                                           that are missing or out of date
#   scripts/test-systems.sh root NAME       prints a made system's root folder
#   scripts/test-systems.sh names           prints the systems' names
#
# The sessions that run in them (with-*-session.sh --system NAME) make every
# mount inside a mount and process namespace of their own (session-common.sh),
# and so does the making: nothing stays mounted or running when it ends.
set -euo pipefail

systems_dir=${PENTRAX_TEST_SYSTEMS:-/var/cache/pentrax2/test-systems}
names=(debian13 testing)

suite_of() {
  case $1 in
    debian13) echo trixie ;;
    testing) echo testing ;;
    *) echo "${0##*/}: no test system $1 (systems: ${names[*]})" >&2; exit 2 ;;
  esac
}

# The packages of a system: the Wayland desktops and their XWayland, a
# terminal that sizes itself in character cells, software rendering, and
# for Debian 13 KWin on X11 as well.
packages_of() {
  local p=(sway foot xwayland kwin-wayland kwin-style-breeze gnome-shell
           dbus-daemon dbus-bin libgl1-mesa-dri fonts-dejavu-core)
  [ "$1" = debian13 ] && p+=(kwin-x11)
  echo "${p[*]}"
}

# The Debian archive this machine installs from, as apt reads its sources
# now (the first one that is neither the security nor the updates archive).
archive() {
  apt-cache policy 2>/dev/null | awk '
    $2 ~ /^(https?|file):/ && $3 !~ /-(security|updates|backports)\// {
      print $2; exit
    }'
}

# What a system is made from; a change of any part makes it again.
recipe_of() { # NAME
  printf 'suite %s\npackages %s\n' "$(suite_of "$1")" "$(packages_of "$1")"
}

# Made from its recipe, with the programs that the sessions start.
made() { # NAME
  local program
  for program in sway swaybar swaynag foot Xwayland kwin_wayland gnome-shell \
                 $([ "$1" = debian13 ] && echo kwin_x11); do
    [ -x "$systems_dir/$1/root/usr/bin/$program" ] || return 1
  done
  [ "$(cat "$systems_dir/$1/recipe" 2>/dev/null)" = "$(recipe_of "$1")" ]
}

make_system() { # NAME
  local name=$1 suite mirror packages new start opts=()
  if made "$name"; then
    echo "${0##*/}: $name is up to date in $systems_dir/$name"
    return 0
  fi
  [ "$(id -u)" -eq 0 ] || { echo "${0##*/}: making $name needs root" >&2; return 1; }
  suite=$(suite_of "$name")
  mirror=$(archive)
  [ -n "$mirror" ] || { echo "${0##*/}: no Debian archive in this machine's apt sources" >&2; return 1; }
  packages=$(packages_of "$name")
  # The testing suite of a frozen archive is past its Release file's
  # validity date: this system alone takes it anyway.
  [ "$suite" = testing ] && opts+=(--aptopt='Acquire::Check-Valid-Until "false"')
  mkdir -p "$systems_dir"
  new=$(mktemp -d "$systems_dir/.$name.XXXXXX")
  start=$SECONDS
  echo "${0##*/}: making $name ($suite from $mirror) in $systems_dir/$name"
  # In namespaces of its own, so that whatever mmdebstrap mounts goes with it.
  if ! unshare --mount --pid --fork --kill-child --propagation private \
      mmdebstrap --quiet --variant=minbase --mode=root "${opts[@]}" \
      --aptopt='Apt::Install-Recommends "false"' \
      --dpkgopt='path-exclude=/usr/share/doc/*' \
      --dpkgopt='path-exclude=/usr/share/man/*' \
      --dpkgopt='path-exclude=/usr/share/locale/*' \
      --dpkgopt='path-include=/usr/share/locale/locale.alias' \
      --include="${packages// /,}" \
      "$suite" "$new/root" "deb $mirror $suite main" >"$new/make.log" 2>&1; then
    tail -n 30 "$new/make.log" >&2
    rm -rf "$new"
    echo "${0##*/}: making $name failed" >&2
    return 1
  fi
  recipe_of "$name" >"$new/recipe"
  rm -rf "${systems_dir:?}/${name:?}"
  chmod 755 "$new"
  mv "$new" "$systems_dir/$name"
  echo "${0##*/}: made $name in $((SECONDS - start)) s ($(du -sh "$systems_dir/$name/root" | cut -f1))"
}

case ${1:-} in
  make)
    shift
    [ $# -gt 0 ] || set -- "${names[@]}"
    for name in "$@"; do
      suite_of "$name" >/dev/null
      make_system "$name"
    done
    ;;
  root)
    [ $# -eq 2 ] || { echo "usage: $0 root NAME" >&2; exit 2; }
    suite_of "$2" >/dev/null
    made "$2" || { echo "${0##*/}: $2 is not made (or out of date): run $0 make $2" >&2; exit 1; }
    echo "$systems_dir/$2/root"
    ;;
  names) echo "${names[*]}" ;;
  *)
    echo "usage: $0 make [NAME...] | root NAME | names" >&2
    exit 2
    ;;
esac
