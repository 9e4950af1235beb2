#!/usr/bin/env bash
# The sizing journey under Wine, with real clicks: the Win32 view and model
# of the sizing_journey program size and restore windows that the program
# owns (Wine sizes only the calling process's windows), and the owner says
# what size each window really has.
#   sizing_journey_test.sh SIZING_JOURNEY_EXE PROBE_EXE
set -uo pipefail
JOURNEY=$1
PROBE=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/ui/win32/wine_gui.sh
. "$here/wine_gui.sh"
mark=0
OUTPUT=$(mktemp "${TMPDIR:-/tmp}/pentrax-journey.XXXXXX")
trap 'finish; rm -f "$OUTPUT"' EXIT

# Waits, at most 20 s, until the owner has read a rectangle that matches
# the pattern since the last pick.
owner_reads() {
  local i
  for ((i = 0; i < 200; i++)); do
    tail -n "+$((mark + 1))" "$OUTPUT" | tr -d '\r' | grep -Eqx "$1" && return 0
    sleep 0.1
  done
  echo "the owner read:"
  tail -n "+$((mark + 1))" "$OUTPUT"
  return 1
}

# Arms a button and picks the window as a user would: a click on it brings
# it to the front. Then waits for the report.
pick() {  # pick BUTTON WINDOW REPORT
  mark=$(wc -l <"$OUTPUT")
  press "$1"
  activate "$2"
  look txtResult "- 1 $3"
}

# Whether the size the report gives is one that the owner read for the
# window since the pick, waited for at most 20 s. Wine hands the window
# manager's view of a window on to it a moment after a change (a window
# just taken out of its maximised state can be maximised again for a
# moment), so a report of the size found right after the sizing may give
# such a passing size; it must never give one the window did not have.
owner_read_reported() {
  local size i
  size=$(state txtResult | sed -n 's/.*|resized to \([0-9]*\) x \([0-9]*\)$/\1 \2/p')
  for ((i = 0; i < 200; i++)); do
    tail -n "+$((mark + 1))" "$OUTPUT" | tr -d '\r' | awk -v w="${size% *}" \
      -v h="${size#* }" -v title="$1" 'index($0, title " ") == 1 &&
        $(NF - 2) - $(NF - 4) == w && $(NF - 1) - $(NF - 3) == h { found = 1 }
        END { exit !found }' && return 0
    sleep 0.1
  done
  echo "reported: $size"
  return 1
}

start "$JOURNEY"
journey=${pids[-1]}
look Label1 "- 1 Your screen resolution is 1280 x 1024"

check "sized to the default 646 x 458" pick chkGo "Journey A" "Journey A|resized to 646 x 458"
check "the owner reads 646 x 458" owner_reads "Journey A 200 100 846 558 zoomed=0"
check "restored" pick chkBack "Journey A" "Journey A|restored its original size"
check "the owner reads its old rectangle" owner_reads "Journey A 200 100 600 400 zoomed=0"
check "already restored" pick chkBack "Journey A" "Journey A|original size has already been restored"
check "unknown" pick chkBack "Journey C" "Journey C|is unknown and cannot be sized back"
check "a maximised window sized" pick chkGo "Journey B" "Journey B|resized to "
check "to a size the owner read" owner_read_reported "Journey B"
check "the owner reads it normal at 646 x 458" owner_reads "Journey B 120 80 766 538 zoomed=0"
check "and restored" pick chkBack "Journey B" "Journey B|restored its original size"
check "the owner reads it maximised again" owner_reads "Journey B .* zoomed=1"
check "the program ends" close_main "$journey"
report
