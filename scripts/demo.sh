#!/usr/bin/env bash
# Shows Pentrax at work on a machine without a desktop: starts a private
# virtual desktop (Xvfb, openbox, a dock), a clock window and Pentrax, then
# does what a user would (press the sizing button, click the clock) and saves
# screenshots before and after in build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-release.sh pentrax2 pentrax_test_window pentrax_screenshot
mkdir -p build/demo
export DEMO_DIR=$PWD/build/demo BIN=$PWD/build/release
scripts/with-x-session.sh --dock "$BIN/tests/pentrax_test_window" bash -c '
  set -euo pipefail
  xclock -geometry 240x180+560+140 2>/dev/null &
  clock_pid=$!
  "$BIN/app/pentrax2" 2>/dev/null &
  pentrax_pid=$!
  trap "kill $pentrax_pid $clock_pid 2>/dev/null || true" EXIT
  main=$(timeout 20 xdotool search --sync --onlyvisible --name "^Pentrax 2$" | head -1)
  clock=$(timeout 20 xdotool search --sync --onlyvisible --class "^XClock$" | head -1)
  sleep 1
  "$BIN/tests/pentrax_screenshot" "$DEMO_DIR/before.png"
  size() { xwininfo -id "$clock" | sed -n "s/^ *\(Width\|Height\): //p" | paste -sd x; }
  xdotool windowactivate --sync "$main" mousemove --window "$main" 176 288 click 1
  xdotool windowactivate "$clock"
  # Pentrax acts 400 ms after the clock comes to the front.
  for _ in $(seq 200); do
    [ "$(size)" != 240x180 ] && break
    sleep 0.05
  done
  [ "$(size)" != 240x180 ] || { echo "Pentrax did not size the clock within 10 s" >&2; exit 1; }
  "$BIN/tests/pentrax_screenshot" "$DEMO_DIR/after.png"
  echo "The clock window is now: $(size) (client area; with its frame: 646 x 458)"
'
echo "Screenshots: build/demo/before.png and build/demo/after.png"
