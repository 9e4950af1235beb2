#!/usr/bin/env bash
# Pentrax2.exe under Wine, driven as a user would drive it: every control
# read back through the controls themselves by a probe (a second Wine
# process), clicks at the places the probe reports, keys typed with
# xdotool, the registry read and edited with reg.exe; and the commands, run
# from cmd (Pentrax2.com, beside Pentrax2.exe) and from Pentrax2.exe. The
# windows it sizes are other programs' (Notepad, and targets the probe
# shows), read back by the probe and xwininfo. FAKE_DWMAPI is a dwmapi.dll
# that tells a visible frame as Windows 10 does, which Wine's does not.
#   pentrax2_exe_test.sh PENTRAX2_EXE PROBE_EXE VERSION FAKE_DWMAPI
set -uo pipefail
EXE=$1
PROBE=$2
VERSION=$3
FAKE_DWMAPI=$4
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/ui/win32/wine_gui.sh
. "$here/wine_gui.sh"
KEY='HKCU\Software\Pentrax2\Settings'
work=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-exe-test.XXXXXX")
DPI='HKCU\Control Panel\Desktop'
# A desktop at another DPI (no value: the default): Wine's server keeps the
# DPI it started with for windows of other programs, so a new one is
# started. It and the services it starts get no output to hold open.
dpi() {
  if [ $# -gt 0 ]; then
    reg add "$DPI" /v LogPixels /t REG_DWORD /d "$1" /f
  else
    reg delete "$DPI" /v LogPixels /f
  fi >/dev/null
  (wineserver -k && wineserver -p && cd / && wine wineboot) >/dev/null 2>&1
}
trap 'finish; rm -rf "$work"; dpi' EXIT

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

echo "== other programs' windows sized and put back, read by the probe"
# Each is a program of its own, picked as a user picks it: the button, then
# the window. The work areas are those of scripts/test-windows.sh: the first
# monitor's ends at 1280, 996, the second's at 2560, 996.
act() {  # act BUTTON TITLE REPORT: waits for the report
  press "$1"
  activate "$2"
  check "$2: $3" look txtResult "- 1 $2|$3"
}
# Waits until the probe reads "LEFT TOP RIGHT BOTTOM ZOOMED" for the window
# (a pattern: * for any number), at most 20 s.
placed() {
  local end=$((SECONDS + 20))
  while ((SECONDS < end)); do
    now=$(probe window "$1")
    # shellcheck disable=SC2053
    [[ $now == $2 ]] && return 0
    sleep 0.1
  done
  printf '  read:     %s\n  expected: %s\n' "$now" "$2"
  return 1
}
# Shows a window of the probe's, as another program's, and waits for it.
# A probe whose window is not there in 20 s is said, with what it printed,
# and started once more; when the second shows none either, the test ends
# there, as every case after it would wait on that window.
targets=()
target() {  # target TITLE X Y W H [MAX_W MAX_H]
  local try
  for try in 1 2; do
    OUTPUT="$work/target.out" start "$PROBE" target "$@"
    targets+=("${pids[-1]}")
    shown "$1" && return 0
    echo "the probe's window \"$1\" is not shown after 20 s (try $try; the probe" \
      "$(kill -0 "${pids[-1]}" 2>/dev/null && echo "still runs" || echo "has ended"))"
    cat "$work/target.out"
    kill "${pids[-1]}" 2>/dev/null
  done
  check "$1 shown" false
  report
  exit 1
}
NOTEPAD="Untitled - Notepad"
reg add 'HKCU\Software\Microsoft\Notepad' /v iWindowPosX /t REG_DWORD /d 150 /f >/dev/null
reg add 'HKCU\Software\Microsoft\Notepad' /v iWindowPosY /t REG_DWORD /d 120 /f >/dev/null
start notepad
notepad=${pids[-1]}
shown "$NOTEPAD"
read -r left top right bottom _ <<<"$(probe window "$NOTEPAD")"
act chkGo "$NOTEPAD" "resized to 646 x 458"
check "Notepad: 646 x 458 at its top-left" \
  placed "$NOTEPAD" "$left $top $((left + 646)) $((top + 458)) 0"
# Maximised by the window manager, as a user would (the size action's
# placement was read while it was not: Wine gives another program the
# maximised rectangle of a maximised window as its normal one).
maximise() {
  wmctrl -r "$NOTEPAD" -b add,maximized_vert,maximized_horz
  check "Notepad maximised" placed "$NOTEPAD" "* * * * 1"
}
maximise
act chkBack "$NOTEPAD" "restored its original size"
check "Notepad: out of that state, back at its old rectangle" \
  placed "$NOTEPAD" "$left $top $right $bottom 0"
act chkBack "$NOTEPAD" "original size has already been restored"
maximise
act chkGo "$NOTEPAD" "resized to 646 x 458"
placed "$NOTEPAD" "* * * * 0"
read -r left top right bottom zoomed <<<"$now"
same "Notepad: sized out of that state" \
  "$((right - left)) $((bottom - top)) $zoomed" "646 458 0"
kill "$notepad"  # out of the way of later clicks
wait "$notepad" 2>/dev/null

target "Corner" 1000 800 200 150
act chkBack "Corner" "is unknown and cannot be sized back"
check "a window never sized: left as it is" placed "Corner" "1000 800 1200 950 0"
act chkGo "Corner" "resized to 646 x 458"
check "near the work area's corner: moved left and up into it" \
  placed "Corner" "634 538 1280 996 0"
target "Small" 100 150 200 150 500 400
act chkGo "Small" "resized to 500 x 400"
check "a window that grows no larger than 500 x 400: the size it took" \
  placed "Small" "100 150 600 550 0"
target "Second" 2300 800 200 150
act chkGo "Second" "resized to 646 x 458"
check "on the second monitor: into its work area" \
  placed "Second" "1914 538 2560 996 0"
kill "${targets[@]}"
wait "${targets[@]}" 2>/dev/null

echo "== the commands: from cmd, from Pentrax2.exe, and the window's buttons"
# cmd runs Pentrax2.com for "pentrax2" from the folder on the PATH.
WINEPATH=$(winepath -w "$(dirname "$EXE")" 2>/dev/null)
export WINEPATH
# Runs pentrax2 from cmd, at most 30 s: its output in $work/out, its errors
# in $work/err.
pentrax2() {
  (cd / && timeout 30 wine cmd /c pentrax2 "$@" >"$work/crlf" 2>"$work/err")
  local status=$?
  tr -d '\r' <"$work/crlf" >"$work/out"
  return "$status"
}
# Whether the output is JSON with KEY at VALUE (as Python writes it: True),
# in the one object or in one of the windows it lists.
json() {
  python3 -c 'import json, sys
j = json.load(open(sys.argv[1]))
sys.exit(all(str(o.get(sys.argv[2])) != sys.argv[3]
             for o in j.get("windows", [j])))' "$work/out" "$@"
}
client() { [ "$(client_size Cmd)" = "$1 $2" ]; }
said() { cat "$work/out" "$work/err" | grep -q "$1"; }
listed() { grep -q " $1\$" "$work/out"; }
# The system's dwmapi.dll, and while a command runs, the one that tells a
# visible frame 7 pixels inside the window's rectangle at the left, right
# and bottom (Wine's tells none).
DWMAPI="$WINEPREFIX/drive_c/windows/system32/dwmapi.dll"
cp "$DWMAPI" "$work/dwmapi.dll"
with_dwm() {
  cp "$FAKE_DWMAPI" "$DWMAPI"
  "$@"
  local status=$?
  cp "$work/dwmapi.dll" "$DWMAPI"
  return "$status"
}
target "Cmd" 100 150 400 300
target "Never" 700 150 300 200
start "$PROBE" hung "Hung" 600 400 300 200 # takes no messages
targets+=("${pids[-1]}")
shown Hung
read -r main control desktop taskbar session <<<"$(probe ids "$TITLE")"
SESSION="HKCU\\Software\\Pentrax2\\Session\\$session"
main_at=$(probe window "$TITLE")
pentrax2 list
id=$(awk '$NF == "Cmd" { print $1 }' "$work/out")
never=$(awk '$NF == "Never" { print $1 }' "$work/out")
hung=$(awk '$NF == "Hung" { print $1 }' "$work/out")
# HOW|STATUS or REPORT|ARGUMENTS|WHAT IS READ THEN, with Cmd in front; @
# stands for its number as list tells it. HOW: cmd; front, cmd with
# Pentrax's window in front; dwm, cmd where DWM tells the visible frame;
# exe, Pentrax2.exe (as from a shortcut key: silent when it does what was
# asked); or a button of the window (the report it shows).
rows=(
  "cmd|0|size 646x458 --window @|placed Cmd '100 150 746 608 0'"
  "cmd|0|restore --window @ --json|placed Cmd '100 150 500 450 0' && json restored True"
  "cmd|3|restore --window @|placed Cmd '100 150 500 450 0'"
  "cmd|0|size 500x400 --content --window @ --json|eventually client 500 400 && json exact True"
  "cmd|0|query --window @ --json|json remembered True && json window @"
  "button|restored its original size|chkBack|placed Cmd '100 150 500 450 0'"
  "button|resized to 646 x 458|chkGo|placed Cmd '100 150 746 608 0'"
  "cmd|0|restore|placed Cmd '100 150 500 450 0'"
  "exe|0|size 700x500|placed Cmd '100 150 800 650 0'"
  "exe|0|restore --window @|placed Cmd '100 150 500 450 0'"
  "cmd|3|restore --window $never|placed Never '700 150 1000 350 0'"
  "cmd|3|query --window 2147483000|true"
  "cmd|2|size 0x5 --window @|placed Cmd '100 150 500 450 0'"
  "cmd|2|size --frame --json|json outcome usage && json command None && said \"unknown option '--frame'\""
  "cmd|2|list --backend x11 --json|json outcome usage && json error 'no backend \"x11\": choose win32; see --help'"
  "cmd|0|list --json|json window @"
  "cmd|0|list|listed Cmd && listed Hung && ! listed 'Pentrax 2'"
  "cmd|3|size 646x458 --window $main|said \"is Pentrax's own\" && placed \"\$TITLE\" '$main_at'"
  "front|3|size 646x458|said \"is Pentrax's own\" && placed \"\$TITLE\" '$main_at'"
  # A control of Pentrax2.exe's window: the window of another Pentrax
  # process, Pentrax's own for every check (IsOwnProcessWindow).
  "cmd|3|size 646x458 --window $control|said \"is Pentrax's own\""
  "cmd|3|restore --window $desktop|said 'is the desktop'"
  "cmd|3|query --window $taskbar|said 'is the task bar'"
  "cmd|3|size 646x458 --window $hung|said 'did not answer' && placed Hung '600 400 900 600 0'"
  "dwm|0|size 646x458 --window @ --json|placed Cmd '100 150 760 615 0' && json rect \"{'height': 458, 'width': 646, 'x': 107, 'y': 150}\""
  "dwm|0|restore --window @|placed Cmd '100 150 500 450 0'"
  "dwm|0|size 500x400 --content --window @ --json|eventually client 500 400 && json exact True"
  "dwm|0|restore --window @|placed Cmd '100 150 500 450 0'"
  "dwm|0|size 646x458 --window $never|placed Never '627 150 1287 615 0'"
  "dwm|0|restore --window $never|placed Never '700 150 1000 350 0'"
)
for row in "${rows[@]}"; do
  IFS="|" read -r how expected arguments after <<<"${row//@/$id}"
  read -ra args <<<"$arguments"
  if [ "$how" = front ]; then activate "$TITLE"; else activate Cmd; fi
  case $how in
    cmd | front) pentrax2 "${args[@]}" ;;
    dwm) with_dwm pentrax2 "${args[@]}" ;;
    exe) (cd / && timeout 20 wine "$EXE" "${args[@]}" >/dev/null 2>&1) ;;
    button) act "$arguments" Cmd "$expected" ;;
  esac
  status=$?
  [ "$how" = button ] || same "$how $arguments: status" "$status" "$expected"
  check "$how $arguments: $after" eval "$after" || cat "$work/out" "$work/err"
done

echo "== the session's placements: this session's own, what is not Pentrax's, a handle another window had"
# Another session of the user keeps its records under its own id, and
# this one leaves them alone. (Wine runs one session: the other's key is
# made here, by reg.exe, which makes no volatile keys.)
OTHER='HKCU\Software\Pentrax2\Session\99'
record() { reg query "$1" /v "$id" | awk '$2 == "REG_SZ" { $1 = $2 = ""; sub(/^ +/, ""); print }'; }
pentrax2 size 400x300 --window "$id"  # where it is: a record, nothing moved
mine=$(record "$SESSION")
check "the record under this session's id" test -n "$mine"
reg delete "${OTHER%\\*}" /f >/dev/null
reg add "$OTHER" /v "$id" /d "$mine" /f >/dev/null
pentrax2 restore --window "$id"
same "Cmd remembered by another session only: unknown here" \
  "$?|$(tail -1 "$work/out")|$(record "$OTHER")" "3|is unknown and cannot be sized back|$mine"
reg add "$SESSION" /v junk /d hello /f >/dev/null
reg add "$SESSION" /v 77 /t REG_DWORD /d 5 /f >/dev/null
reg add "$SESSION" /v "$id" /d "1 0 0 100 100 pid 1, class Other" /f >/dev/null
pentrax2 restore --window "$id"
same "Cmd's number, remembered for another window: unknown" \
  "$?|$(tail -1 "$work/out")" "3|is unknown and cannot be sized back"
check "left as it is" placed Cmd "100 150 500 450 0"
check "the values that are not Pentrax's are dropped, and said so" \
  eval 'grep -q "dropped.*\"77\"" "$work/err" && grep -q "\"junk\"" "$work/err" &&
    ! reg query "$SESSION" /v junk >/dev/null && ! reg query "$SESSION" /v 77 >/dev/null'
kill "${targets[@]}"
wait "${targets[@]}" 2>/dev/null

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
dpi 144
check "the session's placements end with the session (a volatile key)" \
  eval '! reg query "$SESSION" >/dev/null'
start_pentrax
read -r left top _ <<<"$(probe window "$TITLE")"
same "the client area of the layout at 144 DPI" "$(client_size "$TITLE")" "530 578"
same "the edited values shown, the odd ones at their defaults" \
  "$(state optRes2)|$(state txtBorder)|$(state optTask0)|$(state chkBorder | cut -c1)|$(state txtTask)|$(state txtHoch)|$left $top" \
  "1 1 1024 x 768|- 1 7|1 1 Horizontal or|1|- 1 28|- 0 900|200 100"

# 1024 x 768 with a border of 7, less the task bar: 1038 x 754 pixels, as
# Windows users expect; the X window Wine made grows by as many pixels.
target "Sharp" 100 100 400 300
read -r width height <<<"$(client_size "Sharp")"
grew() {
  local now
  now=$(client_size "Sharp")
  [ "$now" = "$((width + $1)) $((height + $2))" ]
}
act chkGo "Sharp" "resized to 1038 x 754"
check "at 144 DPI: 1038 x 754" placed "Sharp" "100 100 1138 854 0"
check "at 144 DPI: the X window 638 x 454 pixels larger" eventually grew 638 454
activate "Sharp"
pentrax2 restore
check "at 144 DPI, restored from cmd in the same pixels" placed "Sharp" "100 100 500 400 0"
kill "${targets[-1]}"

echo "== Default and Help"
click cmdRestoreDefaults
look txtBorder "- 1 3"
same "Default: the first preset and the design-time border" \
  "$(state optRes0)|$(state txtBorder)" "1 1 640 x 480|- 1 3"
click cmdHelp
check "Help shows its box" shown "Pentrax $VERSION - Help"
activate "Pentrax $VERSION - Help"
xdotool key Return
check "the program ends" close_main "$pentrax"

report
