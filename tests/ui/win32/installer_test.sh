#!/usr/bin/env bash
# Pentrax2-setup.exe under Wine: a silent install (/S) puts the programs
# (Pentrax2.exe and Pentrax2.com), the uninstaller and a Start-menu shortcut
# in the user's own folders and lists them among the user's programs; the
# program starts through the shortcut and answers --version, --help, an
# unknown option and a command that cannot be carried out in message boxes,
# and cmd runs the console program for "pentrax2"; a silent uninstall
# removes it all and keeps the settings, unless /REMOVESETTINGS asks. Files
# are read through Wine's file system, the registry with reg.exe, the boxes
# with the probe.
#   installer_test.sh SETUP_EXE PENTRAX2_EXE PENTRAX2_COM PROBE_EXE VERSION
set -uo pipefail
SETUP=$1
EXE=$2
COM=$3
PROBE=$4
VERSION=$5
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/ui/win32/wine_gui.sh
. "$here/wine_gui.sh"
UNINSTALL='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pentrax2'
SETTINGS='HKCU\Software\Pentrax2'

user_folder() { win cmd /c echo "%$1%"; }  # LOCALAPPDATA: C:\users\...
programs="$(user_folder LOCALAPPDATA)\\Programs\\Pentrax 2"
dir=$(winepath -u "$programs" 2>/dev/null)
link="$(winepath -u "$(user_folder APPDATA)" 2>/dev/null)/Microsoft/Windows/Start Menu/Programs/Pentrax 2.lnk"
files=("$dir/Pentrax2.exe" "$dir/Pentrax2.com" "$dir/Uninstall.exe" "$link")

none_left() {
  local f
  for f in "$@"; do
    [ ! -e "$f" ] || return 1
  done
}
running() { ps -eo args= | grep -Fxq "$programs\\Pentrax2.exe"; }
has_settings() { reg query "$SETTINGS\\Settings" /v PosLeft >/dev/null; }

# "STATUS|TEXT" of the installed program run with these arguments: the
# text of the message box it shows, closed with Enter, and its exit status.
answer() {
  local pid text
  start "$dir/Pentrax2.exe" "$@"
  pid=${pids[-1]}
  text=$(probe text "Pentrax 2" | grep -v '^OK$' | grep .)
  activate "Pentrax 2"
  xdotool key Return
  wait "$pid"
  echo "$?|$text"
}

reg delete "$SETTINGS" /f >/dev/null
check "the installer asks for no administrator rights" \
  grep -aq 'level="asInvoker"' "$SETUP"

echo "== silent install"
check "the installer ends" win "$SETUP" /S
check "the programs, the uninstaller and the shortcut are in place" \
  test -f "${files[0]}" -a -f "${files[1]}" -a -f "${files[2]}" -a -f "${files[3]}"
check "the installed programs are the ones built" \
  cmp -s <(cat "$EXE" "$COM") <(cat "$dir/Pentrax2.exe" "$dir/Pentrax2.com")
same "the uninstall entry, for this user" \
  "$(reg query "$UNINSTALL" /v QuietUninstallString | awk '$1 == "QuietUninstallString"')" \
  "    QuietUninstallString    REG_SZ    \"$programs\\Uninstall.exe\" /S"

echo "== the command line"
same "--version" "$(answer --version)" "0|Pentrax2 $VERSION"
help=$(answer --help)
usage() {
  [[ $help == "0|Usage: Pentrax2.exe [COMMAND] [OPTIONS]|"*"|Settings: HKEY_CURRENT_USER\\Software\\Pentrax2\\Settings" ]]
}
check "--help: the usage, and where the settings live" usage || echo "  read: $help"
same "an unknown option" "$(answer --size)" "2|unknown option '--size'; see --help"
same "a command that cannot be carried out" "$(answer restore --window 2147483000)" \
  "3|There is no window 2147483000: nothing was restored"
# From the installed folder on the PATH, cmd runs Pentrax2.com for
# "pentrax2": the version and the usage on standard output.
same "pentrax2 --version from cmd" \
  "$(WINEPATH=$programs win cmd /c pentrax2 --version)" "Pentrax2 $VERSION"
same "pentrax2 /? from cmd: the usage" \
  "$(WINEPATH=$programs win cmd /c pentrax2 /? | head -1)" \
  "Usage: Pentrax2 [COMMAND] [OPTIONS]"

# Started through the shortcut, and by "pentrax2" without a command in cmd,
# which returns at once, its output no longer held.
for how in shortcut cmd; do
  echo "== started through $how"
  if [ "$how" = shortcut ]; then
    win start /unix "$link"
  else
    check "cmd returns" timeout 20 bash -c \
      'cd / && WINEPATH=$0 wine cmd /c pentrax2 2>/dev/null | cat' "$programs"
  fi
  check "the installed program shows its window" \
    look Label1 "- 1 Your screen resolution is"
  check "it is the installed one" running
  activate "$TITLE"
  xdotool key alt+F4
  check "closed, it has written its settings" eventually has_settings
  check "it has ended" eventually eval '! running'
done

echo "== silent uninstall"
# The uninstaller runs on from a copy of itself; it takes the program off
# the list of installed programs last.
listed() { reg query "$UNINSTALL" >/dev/null; }
check "the uninstaller ends" win "$dir/Uninstall.exe" /S
check "the uninstall entry is removed" eventually eval '! listed'
check "so are the files and the shortcut" none_left "${files[@]}" "$dir"
check "the settings are kept" has_settings

echo "== silent uninstall with /REMOVESETTINGS"
win "$SETUP" /S
win "$dir/Uninstall.exe" /S /REMOVESETTINGS
check "the uninstall entry is removed" eventually eval '! listed'
check "so are the files and the settings" \
  eval 'none_left "${files[@]}" && ! reg query "$SETTINGS" >/dev/null'

report
