#!/usr/bin/env bash
# Pentrax2.exe under Wine, driven as a user would drive it: every control
# read back through the controls themselves by a probe (a second Wine
# process), clicks at the places the probe reports, keys typed with
# xdotool, the registry read and edited with reg.exe.
#   pentrax2_exe_test.sh PENTRAX2_EXE PROBE_EXE
set -uo pipefail
EXE=$1
PROBE=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/ui/win32/wine_gui.sh
. "$here/wine_gui.sh"
KEY='HKCU\Software\Pentrax2\Settings'
work=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-exe-test.XXXXXX")
DPI='HKCU\Control Panel\Desktop'
trap 'finish; rm -rf "$work"; reg delete "$DPI" /v LogPixels /f >/dev/null' EXIT

# The window is shown once Timer1 has looked at the screen.
start_pentrax() {
  start "$EXE"
  pentrax=${pids[-1]}
  look Label1 "- 1 Your screen resolution is 1280 x 1024"
}

echo "== first start"
reg delete 'HKCU\Software\Pentrax2' /f >/dev/null
start_pentrax
check "every control shows its first-start state" \
  diff -u "$here/first_start.txt" <(cut -d' ' -f1,4- <<<"$snapshot" | sed 's/ *$//')
same "the client area of the layout at 96 DPI" "$(client_size "$TITLE")" "353 385"

echo "== choices by mouse and keyboard"
click optRes7
click txtBreit # selects the whole text: typing replaces it
xdotool type --delay 50 1x0  # the key filter drops the letter
xdotool key ctrl+a           # and Ctrl+A
xdotool type --delay 50 00
click chkBorder
click optTask1
look optTask1 "1 1 vertical"
same "Custom, typed digits only, border off, vertical task bar" \
  "$(state optRes7)|$(state txtBreit)|$(state chkBorder | cut -c1)|$(state optTask1)" \
  "1 1 Custom|- 1 1000|0|1 1 vertical Taskbar"

echo "== a separate program (Wine's Notepad) is picked, and its real size reported"
OTHER="Untitled - Notepad"
start notepad
notepad=${pids[-1]}
shown "$OTHER"
press chkGo
activate "$OTHER"
look txtResult "- 1 $OTHER|resized to "
read -r left top right bottom _ <<<"$(probe window "$OTHER")"
same "the report gives the size the program's window has" \
  "$(state txtResult)" "- 1 $OTHER|resized to $((right - left)) x $((bottom - top))"
press chkBack
activate "$OTHER"
# Wine places only the calling process's windows, so the restore's outcome
# is Wine's; the pick is Pentrax's: the button comes up again.
check "the restore button picks it too" look chkBack "0 "
# Out of the way of the clicks that follow.
kill "$notepad"
wait "$notepad" 2>/dev/null

echo "== closed with Alt+F4: the ten values in the registry"
read -r left top _ <<<"$(probe window "$TITLE")"
check "the program ends" close_main "$pentrax"
reg query "$KEY" | awk 'NF >= 3 { print $1, $2, $3 }' | sort >"$work/saved"
printf '%s\n' "AddBorder REG_SZ 0" "Border REG_SZ 3" "CustomHeight REG_SZ 900" \
  "CustomWidth REG_SZ 1000" "PosLeft REG_SZ $((left * 15))" \
  "PosTop REG_SZ $((top * 15))" "SelectedResolution REG_SZ 7" \
  "SubtractTaskBar REG_SZ 1" "TaskBar REG_SZ 28" \
  "TaskBarOrientation REG_SZ 1" >"$work/expected"
check "the ten values, every one a string" diff -u "$work/expected" "$work/saved"

echo "== values edited by hand, some of them odd; at 144 DPI"
# AddBorder not a string, TaskBar "5" and a lone surrogate, CustomHeight
# longer than any setting: each falls back to its default.
# A .reg file in UTF-16, so that hex(1) data is UTF-16 too.
{
  printf 'Windows Registry Editor Version 5.00\n\n'
  printf '[HKEY_CURRENT_USER\\Software\\Pentrax2\\Settings]\n'
  printf '"SelectedResolution"="2"\n"Border"="7"\n"TaskBarOrientation"="0"\n'
  printf '"PosLeft"="3000"\n"PosTop"="1500"\n"AddBorder"=dword:00000000\n'
  printf '"TaskBar"=hex(1):35,00,00,d8,00,00\n'
  printf '"CustomHeight"="6%1100s"\n' ''
} | iconv -t UTF-16 >"$work/edited.reg"
reg import "Z:${work//\//\\}\\edited.reg" >/dev/null
reg add "$DPI" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
start_pentrax
read -r left top _ <<<"$(probe window "$TITLE")"
same "the client area of the layout at 144 DPI" "$(client_size "$TITLE")" "530 578"
same "the edited values shown, the odd ones at their defaults" \
  "$(state optRes2)|$(state txtBorder)|$(state optTask0)|$(state chkBorder | cut -c1)|$(state txtTask)|$(state txtHoch)|$left $top" \
  "1 1 1024 x 768|- 1 7|1 1 Horizontal or|1|- 1 28|- 0 900|200 100"

echo "== Default and Help"
click cmdRestoreDefaults
look txtBorder "- 1 3"
same "Default: the first preset and the design-time border" \
  "$(state optRes0)|$(state txtBorder)" "1 1 640 x 480|- 1 3"
click cmdHelp
check "Help shows its box" shown "Pentrax 2.2.1 - Help"
activate "Pentrax 2.2.1 - Help"
xdotool key Return
check "the program ends" close_main "$pentrax"

report
